# The helper's modes as a shell runs them: one-shot --apply and --clear on a file of the
# test's own, the diagnostic --listen-test (answers on 127.0.0.1, notes hits in
# <folder>/hits, exits 1 with one line when a port is taken), help and usage.
source "$(dirname "$0")/../support/lib.sh"
work_folder listen
show_on_failure "$work/log"
helper() { "$bin/tarrow-helper" "$@" 2>>"$work/log"; }
check "--version, --help" eval 'helper --version | grep -q "^Tarrow helper" && helper --help | grep -q -- "--clear "'
status=0; helper --daemon >/dev/null || status=$?
check "no mode: the usage, status 2" [ $status = 2 ]
printf '127.0.0.1 localhost\n' >"$work/hosts" && printf 'example.org\n' >"$work/request"
helper --apply "$work/request" --uid 0 --hosts "$work/hosts" --no-flush
check "--apply: the name is in the file" grep -q "^0.0.0.0 example.org" "$work/hosts"
helper --clear --hosts "$work/hosts" --no-flush
check "--clear: the file as it was" [ "$(cat "$work/hosts")" = "127.0.0.1 localhost" ]
mkfifo "$work/fifo" && status=0 && helper --clear --hosts "$work/fifo" --no-flush || status=$?
check "--clear on a FIFO: status 1, the reason" eval '[ $status = 1 ] && grep -q "failed: cannot replace $work/fifo" "$work/log"'
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
plain=$(free_port) tls=$(free_port)
background "$bin/tarrow-helper" --listen-test "$work" "$plain" "$tls" 2>"$work/log"
wait_for 5 grep -q "listen test on 127.0.0.1:$plain and :$tls, hits in $work/hits" "$work/log" ||
  fail "the listen test did not start"
answer=$(timeout 5 curl -s -H 'Host: www.Example.org:8080' "http://127.0.0.1:$plain/")
check "a page for the Host header" contains "$answer" '<h1>example.org?<br>'
timeout 5 curl -s -k --resolve "tls.example:$tls:127.0.0.1" "https://tls.example:$tls/" || true
hits_are() { [ "$(cut -d' ' -f2 "$work/hits" 2>/dev/null | tr '\n' ' ')" = "www.example.org tls.example " ]; }
check "both hits noted" wait_for 1 hits_are
status=0
"$bin/tarrow-helper" --listen-test "$work" "$plain" "$tls" 2>"$work/second" || status=$?
check "a taken port: exit status 1, the cannot-bind line" \
  eval '[ "$status" = 1 ] && tail -n1 "$work/second" | grep -q "  listen test: cannot bind$"'
finish
