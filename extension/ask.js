// Finding Tarrow's page server and asking it what is blocked; used by the worker and
// by the watcher page alike.
'use strict';

const FIRST_PORT = 47110, LAST_PORT = 47119;
const ASK_TIMEOUT_MS = 400;  // a local server answers in a few milliseconds
const HOST = /^[a-z0-9-]+(\.[a-z0-9-]+)*$/;

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
    return {port: p, page: a.page, names: a.names};
  } catch (e) {
    return null;
  }
}

// Tarrow's answer from `port` when it still answers there, else from the first port
// that answers as Tarrow; null when the app does not run.
async function find(port) {
  const last = port !== null ? await ask(port) : null;
  if (last) return last;
  const ports = [];
  for (let p = FIRST_PORT; p <= LAST_PORT; p++) ports.push(p);
  return (await Promise.all(ports.map(ask))).find(a => a) || null;
}
