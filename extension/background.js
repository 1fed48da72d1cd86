// Sends a tab that opens a site Tarrow blocks to Tarrow's own page, and the tabs that
// already show such a site when blocking starts. What is blocked comes from the Tarrow
// app's page server on 127.0.0.1; nothing else is read, kept or sent anywhere.
'use strict';

const FIRST_PORT = 47110, LAST_PORT = 47119;
const POLL_MS = 2000;       // as often as Tarrow's own page asks
const ASK_TIMEOUT_MS = 400; // a local server answers in a few milliseconds
const HOST = /^[a-z0-9-]+(\.[a-z0-9-]+)*$/;

let port = null;        // the port Tarrow's server answered on
let names = new Set();  // blocked host names; empty while the page switch is off
let poller = null;

// The answer, when the server on `p` is Tarrow's: exactly this shape, or nothing.
async function ask(p) {
  try {
    const r = await fetch('http://127.0.0.1:' + p + '/blocking',
                          {cache: 'no-store', signal: AbortSignal.timeout(ASK_TIMEOUT_MS)});
    if (!r.ok) return null;
    const a = await r.json();
    if (!a || a.app !== 'Tarrow' || typeof a.page !== 'boolean' || !Array.isArray(a.names))
      return null;
    if (!a.names.every(n => typeof n === 'string' && n.length <= 253 && HOST.test(n)))
      return null;
    return a;
  } catch (e) {
    return null;
  }
}

// Tarrow's answer from the port it used last, else from the first that answers as it.
async function learn() {
  let a = port !== null ? await ask(port) : null;
  if (!a) {
    port = null;
    const ports = [];
    for (let p = FIRST_PORT; p <= LAST_PORT; p++) ports.push(p);
    const answers = await Promise.all(ports.map(ask));
    const i = answers.findIndex(x => x);
    if (i >= 0) { port = ports[i]; a = answers[i]; }
  }
  // An extension call keeps the browser from ending the worker while Tarrow answers,
  // so that a block that starts is seen within one poll.
  if (a) chrome.runtime.getPlatformInfo().catch(() => {});
  const before = names;
  names = new Set(a && a.page ? a.names : []);
  const fresh = [...names].some(n => !before.has(n));
  if (fresh) await sweep();
  return a;
}

// The blocked host an address belongs to: http or https, the exact host only.
function blockedHost(address) {
  let u;
  try { u = new URL(address); } catch (e) { return null; }
  if (u.protocol !== 'http:' && u.protocol !== 'https:') return null;
  const host = u.hostname.toLowerCase().replace(/\.$/, '');
  return names.has(host) ? host : null;
}

function pageFor(host, back) {
  return 'http://127.0.0.1:' + port + '/blocked?site=' + encodeURIComponent(host) +
         '&back=' + encodeURIComponent(back);
}

function send(tabId, address) {
  const host = blockedHost(address);
  if (!host || port === null) return false;
  chrome.tabs.update(tabId, {url: pageFor(host, address)}).catch(() => {});
  return true;
}

async function sweep() {
  if (!names.size) return;
  const tabs = await chrome.tabs.query({});
  for (const t of tabs) if (t.url) send(t.id, t.url);
}

// Polls while Tarrow answers; the alarm looks for it again when it does not (and wakes
// the worker, which the browser ends when it has been idle).
async function poll() {
  clearTimeout(poller);
  poller = null;
  const a = await learn();
  if (a) poller = setTimeout(poll, POLL_MS);
}

chrome.webNavigation.onBeforeNavigate.addListener(async d => {
  if (d.frameId !== 0) return;
  // Asleep until now: what is blocked is not known yet.
  if (port === null) await poll();
  send(d.tabId, d.url);
});

chrome.alarms.onAlarm.addListener(() => { if (!poller) poll(); });
chrome.alarms.create('tarrow', {periodInMinutes: 0.5});
chrome.runtime.onStartup.addListener(() => poll());
chrome.runtime.onInstalled.addListener(() => poll());
poll();
