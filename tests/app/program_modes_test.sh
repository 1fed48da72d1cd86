#!/usr/bin/env bash
# The program's one-shot modes, as a packager or a user at a shell runs them: each does
# its one thing, prints it and exits 0.
source "$(dirname "$0")/../support/lib.sh"
work_folder modes
app_home

out=$("$bin/tarrow" --selftest) status=$?
check "--selftest: every built-in check passes, the helper's digest included" \
  eval '[ $status = 0 ] && contains "$out" "all passed" && contains "$out" "ok    helper: "'
out=$("$bin/tarrow" --menu) status=$?
check "--menu: the tray menu with the default sites, from Tarrow For to Quit" \
  eval '[ $status = 0 ] && contains "$out" "4 Hours" && contains "$out" "✓ youtube.com" && contains "$out" "Quit Tarrow"'
check "--suggest: no browser history, nothing suggested" [ "$("$bin/tarrow" --suggest)" = "0 sites from 0 histories" ]
"$bin/tarrow" --icons "$work/icons"
pngs=0; for f in "$work"/icons/mark-*.png; do [ "$(head -c 4 "$f" | tail -c 3)" = PNG ] && pngs=$((pngs + 1)); done
check "--icons: the four marks as pictures" [ "$pngs" = 4 ]
check "--version" contains "$("$bin/tarrow" --version)" "Tarrow 1."
check "--help names the shell's words" contains "$("$bin/tarrow" --help)" "on                 block until you say okay"
background "$bin/tarrow" --page-test >"$work/page-test"
wait_for 10 test -s "$work/page-test" || fail "--page-test printed no address"
read -r address token <"$work/page-test"
check "--page-test: serves the page of a popular site with its token" \
  eval 'curl -sf "$address" | grep -q "youtube.com" && [ ${#token} -ge 16 ]'
stop $!
finish
