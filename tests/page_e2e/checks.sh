# Shared steps of the page and card scripts; sourced.

fails=0
check() {  # check <description> <command...>
  local what="$1"; shift
  if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; fails=$((fails + 1)); fi
}
wait_for() {  # wait_for <seconds> <command...>: polls until the command succeeds
  local until=$(( $(date +%s) + $1 )); shift
  until "$@"; do
    [ "$(date +%s)" -ge "$until" ] && return 1
    sleep 0.2
  done
}
