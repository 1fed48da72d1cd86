// The browser ends an extension's worker when it is idle, so this hidden page does the
// asking: every 2 s while Tarrow runs (as often as Tarrow's own page asks), every 10 s
// while it does not, and it wakes the worker only when the answer changes.
'use strict';

const POLL_MS = 2000, AWAY_MS = 10000;
let last = null, told = '';

async function watch() {
  last = await find(last ? last.port : null);
  const now = JSON.stringify(last);
  if (now !== told) {
    told = now;
    chrome.runtime.sendMessage({tarrow: last}).catch(() => {});
  }
  setTimeout(watch, last ? POLL_MS : AWAY_MS);
}

watch();
