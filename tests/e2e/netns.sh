#!/usr/bin/env bash
# Runs one command as root inside throw-away mount, network and pid namespaces, so that
# it can rewrite /etc/hosts, listen on 127.0.0.2:80 and :443 and fill /var/lib/Tarrow
# without changing anything on the machine. Every end-to-end test goes through here
# (a script that calls in_namespace of tests/support/lib.sh comes here by itself).
#
# Usage: tests/e2e/netns.sh [--overlay] <command> [arguments...]
#   e.g. tests/e2e/netns.sh bash tests/e2e/daemon_block.sh
#
# What the command finds inside:
#   - a network of its own with only the loopback interface, up (all of 127.0.0.0/8
#     answers there, so 127.0.0.2 needs no alias);
#   - /etc: a private copy of the real /etc, bind-mounted over it (the whole folder,
#     because the helper replaces /etc/hosts by rename, which a file mount refuses);
#   - /var/lib/Tarrow: an empty temporary folder (the helper's hits folder);
#   - /run/systemd, /run/dbus, /run/nscd: empty, so nothing inside reaches the real
#     service manager, bus or name caches;
#   - NETNS_SCRATCH: an empty temporary folder for the test's own files (request file,
#     TARROW_HOME, logs);
#   - a pid namespace of its own: every process the command leaves behind ends with it.
# The copies are removed afterwards and no mount outlives the command. The hits folder's
# mount point is made inside the namespace only (on a tmpfs over /var/lib that carries
# the real entries through), so nothing is created outside, and a test that unmounts or
# replaces /var/lib/Tarrow changes only its own namespace.
#
# With --overlay, /usr, /etc and /var instead are writable overlays over the machine's
# own, their changes kept in memory inside the namespace: a package can be installed,
# upgraded and removed there with dpkg for real (its database under /var/lib/dpkg is
# overlaid too), /usr/local and /etc/systemd/system included. The rest is as above.
#
# Exit status: the command's; 77 ("skipped") when not root or when the namespaces
# cannot be created.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

if [ "${1:-}" = "--inside" ]; then
  scratch=$2 mode=$3
  shift 3
  namespace_ready "$scratch" "$mode"
  export NETNS_SCRATCH="$scratch/work"
  set +e
  "$@"
  exit $?
fi

mode=copy
if [ "${1:-}" = "--overlay" ]; then
  mode=overlay
  shift
fi
[ "$(id -u)" = 0 ] || skip "netns.sh needs root"
if ! command -v ip >/dev/null || ! unshare --mount --net --pid --fork true 2>/dev/null; then
  skip "namespaces not permitted here"
fi

scratch=$(mktemp -d /tmp/tarrow-netns.XXXXXX)
at_exit "rm -rf '$scratch'"
if [ "$mode" = copy ]; then
  cp -a /etc "$scratch/etc"
  mkdir -m 0755 "$scratch/hits"
fi
mkdir "$scratch/work"

set +e
unshare --mount --net --pid --fork --kill-child --mount-proc \
  bash "${BASH_SOURCE[0]}" --inside "$scratch" "$mode" "$@"
exit $?
