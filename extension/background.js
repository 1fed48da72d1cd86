// Sends a tab that opens a site Tarrow blocks to Tarrow's own page, and the tabs that
// already show such a site when blocking starts. What is blocked comes from the Tarrow
// app's page server on 127.0.0.1; nothing else is read, kept or sent anywhere.
'use strict';

importScripts('ask.js');

let port = null;        // the port Tarrow's server answered on
let names = new Set();  // blocked host names; empty while the page switch is off

// Takes an answer (null: the app does not run); tabs of newly blocked names are sent.
async function take(answer) {
  port = answer ? answer.port : null;
  const before = names;
  names = new Set(answer && answer.page ? answer.names : []);
  if ([...names].some(n => !before.has(n))) await sweep();
}

// The blocked host an address belongs to: http or https, the exact host only.
function blockedHost(address) {
  let u;
  try { u = new URL(address); } catch (e) { return null; }
  if (u.protocol !== 'http:' && u.protocol !== 'https:') return null;
  const host = u.hostname.toLowerCase().replace(/\.$/, '');
  return names.has(host) ? host : null;
}

function send(tabId, address) {
  const host = blockedHost(address);
  if (!host || port === null) return;
  const page = 'http://127.0.0.1:' + port + '/blocked?site=' + encodeURIComponent(host) +
               '&back=' + encodeURIComponent(address);
  chrome.tabs.update(tabId, {url: page}).catch(() => {});
}

async function sweep() {
  if (!names.size) return;
  for (const t of await chrome.tabs.query({})) if (t.url) send(t.id, t.url);
}

// The watcher page lives as long as the browser; made again when it is missing.
async function keepWatcher() {
  if (await chrome.offscreen.hasDocument()) return;
  await chrome.offscreen.createDocument({
    url: 'watch.html', reasons: ['WORKERS'],
    justification: 'asks the local Tarrow app every 2 s whether blocking has started'
  }).catch(() => {});
}

chrome.runtime.onMessage.addListener((message, sender) => {
  if (sender.id === chrome.runtime.id && 'tarrow' in message) take(message.tarrow);
});

chrome.webNavigation.onBeforeNavigate.addListener(async d => {
  if (d.frameId !== 0) return;
  // Asked afresh before a tab is sent anywhere: a worker that was asleep knows nothing
  // yet, and the app may have moved to another port since the watcher last asked.
  if (port === null || blockedHost(d.url)) await take(await find(port));
  send(d.tabId, d.url);
});

chrome.alarms.onAlarm.addListener(keepWatcher);
chrome.alarms.create('tarrow', {periodInMinutes: 1});
keepWatcher();
