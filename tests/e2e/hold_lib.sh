# Shared steps of the tests that make a block hold: a web site on an address of its
# own, a name server that knows it, and the helper's daemon, inside netns.sh.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

e2e=$tests_dir/e2e
# A documentation address, held by an interface of this namespace only: nothing leaves it.
site_address=198.51.100.10
policy=de.brightloom.tarrow.helper.json
policy_text='{"DnsOverHttpsMode": "off"}'

# The site's address on a local interface: a dummy one, or an empty bridge where the
# kernel has no dummy driver (both only make the address local).
site_network() {
  ip link add site0 type dummy 2>/dev/null || ip link add site0 type bridge
  ip link set site0 up
  ip addr add "$site_address/32" dev site0
}

# start_names name=answer...: the name server (dns_responder.py) on 127.0.0.1, and the
# namespace's own resolver settings pointing at it, hosts file first.
start_names() {
  rm -f /etc/resolv.conf
  printf 'nameserver 127.0.0.1\noptions timeout:2 attempts:1\n' >/etc/resolv.conf
  sed -i 's/^hosts:.*/hosts: files dns/' /etc/nsswitch.conf
  : >"$work/dns.out"
  background python3 "$e2e/dns_responder.py" 127.0.0.1 "$work/dns.log" "$@" >"$work/dns.out" 2>&1
  names=$!
  wait_for 5 grep -q ready "$work/dns.out" || fail "name server did not start"
}

# start_site <address> <port> [close]: the web site (site_server.py), logging to site.log.
start_site() {
  background python3 "$e2e/site_server.py" "$1" "$2" "$work/site.log" ${3:-} >"$work/site-$1.out" 2>&1
  wait_for 5 grep -q ready "$work/site-$1.out" || fail "site on $1 did not start"
}

# hold <output> <name> <port> [--reconnect]: a kept-alive connection, in the background.
hold() {
  background python3 "$e2e/keepalive_client.py" "$2" "$3" ${4:-} >"$1" 2>&1
  wait_for 5 grep -q '^connected' "$1" || fail "no connection to $2: $(cat "$1")"
}

# When the kernel refuses SOCK_DESTROY the helper says why; that is a skip, not a fault.
skip_if_kernel_refuses() {
  if grep -q "stay open: .*Operation not supported" "$helper_log"; then
    skip "this kernel refuses SOCK_DESTROY (no CONFIG_INET_DIAG_DESTROY)"
  fi
}
