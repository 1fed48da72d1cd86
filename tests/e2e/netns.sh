#!/usr/bin/env bash
# netns.sh [--overlay] <command...>: as root in throw-away mount, network and pid namespaces,
# so that it may rewrite /etc/hosts and listen on 127.0.0.2 without touching the machine.
# Inside: loopback only; a private copy of /etc (the whole folder: the helper renames over
# /etc/hosts), an empty /var/lib/Tarrow, /run/systemd, /run/dbus and /run/nscd; the scratch
# folder NETNS_SCRATCH. --overlay: /usr, /etc and /var overlays in memory, for dpkg. 77 when
# not root or not permitted.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

if [ "${1:-}" = "--inside" ]; then
  scratch=$2 mode=$3
  shift 3
  namespace_ready "$scratch" "$mode"
  export NETNS_SCRATCH="$scratch/work"
  set +e; "$@"; exit $?
fi

mode=copy
[ "${1:-}" != --overlay ] || { mode=overlay; shift; }
[ "$(id -u)" = 0 ] || skip "netns.sh needs root"
if ! command -v ip >/dev/null || ! unshare --mount --net --pid --fork true 2>/dev/null; then
  skip "namespaces not permitted here"
fi
scratch=$(mktemp -d /tmp/tarrow-netns.XXXXXX)
at_exit "rm -rf '$scratch'"
if [ "$mode" = copy ]; then cp -a /etc "$scratch/etc"; mkdir -m 0755 "$scratch/hits"; fi
mkdir "$scratch/work"
set +e
unshare --mount --net --pid --fork --kill-child --mount-proc \
  bash "${BASH_SOURCE[0]}" --inside "$scratch" "$mode" "$@"
exit $?
