#!/usr/bin/env bash
# Runs a command as root in throw-away mount, network and pid namespaces, so that it may
# rewrite /etc/hosts, listen on 127.0.0.2 and fill /var/lib/Tarrow without touching the
# machine. Inside: only loopback, up; /etc a private copy (the whole folder: the helper
# replaces /etc/hosts by rename); /var/lib/Tarrow empty; /run/systemd, /run/dbus and
# /run/nscd empty; NETNS_SCRATCH a scratch folder. With --overlay, /usr, /etc and /var
# are writable overlays kept in memory instead, so that dpkg can install for real.
# Usage: netns.sh [--overlay] <command> [arguments...]; 77 when not root or not permitted.
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
