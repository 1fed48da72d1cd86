# Steps of the tests of a block holding in browsers, inside netns.sh: a web site on an
# address of its own, a name server that knows it, kept-alive clients, a browser.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"
site_address=198.51.100.10 # a documentation address, on an interface of the namespace only
chromium=$(command -v chromium || command -v chromium-browser || true)
firefox=$(command -v firefox-esr || command -v firefox || true)

# The site's address made local: on a dummy interface, or an empty bridge.
site_network() {
  ip link add site0 type dummy 2>/dev/null || ip link add site0 type bridge
  ip link set site0 up; ip addr add "$site_address/32" dev site0
}
# start_names name=address...: servers.py dns on 127.0.0.1, the resolver pointed at it.
start_names() {
  rm -f /etc/resolv.conf; printf 'nameserver 127.0.0.1\noptions timeout:2 attempts:1\n' >/etc/resolv.conf
  sed -i 's/^hosts:.*/hosts: files dns/' /etc/nsswitch.conf
  serve "$work/dns.out" dns 127.0.0.1 "$work/dns.log" "$@"
}
# serve <output> <servers.py arguments...>: in the background, until it is ready.
serve() {
  local out=$1
  shift
  background python3 "$tests_dir/e2e/servers.py" "$@" >"$out" 2>&1
  wait_for 5 grep -q ready "$out" || fail "servers.py $*: $(cat "$out")"
}
start_site() { serve "$work/site-$1.out" site "$1" "$2" "$work/site.log"; }
# hold <output> <name> <port> [--reconnect]: a kept-alive connection, as a tab holds one;
# "closed <ms since the epoch>" once it is cut, then "reconnected <status line>".
hold() {
  background bash -c 'exec 3<>"/dev/tcp/$1/$2"
    printf "GET /keep HTTP/1.1\r\nHost: %s\r\n\r\n" "$1" >&3
    read -r -t 5 line <&3 && echo connected
    timeout 15 cat <&3 >/dev/null
    [ $? = 124 ] && echo "still open" || echo "closed $((${EPOCHREALTIME/./} / 1000))"
    [ "$3" != --reconnect ] || echo "reconnected $(curl -si -m 5 "http://$1:$2/again" | head -1)"' \
    _ "${@:2}" >"$1" 2>&1
  wait_for 5 grep -q '^connected' "$1" || fail "no connection to $2: $(cat "$1")"
}
# tabs <output> <steps...>: browser_tabs.py in the background; $tabs is its pid.
tabs() {
  background python3 "$tests_dir/e2e/browser_tabs.py" "$browser" "$(mktemp -d "$work/profile.XXXXXX")" \
    "${@:2}" >"$1" 2>>"$work/browser.err"; tabs=$!
}
# tab <output> <n>: the n-th JSON line, once there.
tab() {
  wait_for 60 bash -c "[ \$(grep -c '^{' '$1') -ge $2 ]" || fail "tab $2 did not load"
  grep '^{' "$1" | sed -n "${2}p"
}
skip_if_kernel_refuses() { # the helper says so; not a fault of its own
  ! grep -q "stay open: .*Operation not supported" "$helper_log" || skip "this kernel refuses SOCK_DESTROY"
}
