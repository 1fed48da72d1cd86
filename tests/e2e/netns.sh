#!/usr/bin/env bash
# Runs one command as root inside throw-away mount, network and pid namespaces, so that
# it can rewrite /etc/hosts, listen on 127.0.0.2:80 and :443 and fill /var/lib/Tarrow
# without changing anything on the machine. Every end-to-end test goes through here.
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
set -euo pipefail

# A private copy of /etc over /etc, and an empty hits folder over /var/lib/Tarrow.
private_etc_and_hits() {
    local scratch=$1 entry name
    mount --bind "$scratch/etc" /etc
    # /var/lib becomes a tmpfs that carries the real entries through, except the hits
    # folder: its mount point lives on the tmpfs, so a test that unmounts or replaces
    # /var/lib/Tarrow never reaches the machine's own folder.
    mkdir "$scratch/varlib"
    mount --rbind /var/lib "$scratch/varlib"
    mount -t tmpfs -o mode=0755 tmpfs /var/lib
    for entry in "$scratch/varlib"/* "$scratch/varlib"/.[!.]*; do
        name=/var/lib/${entry##*/}
        if [ "$name" = /var/lib/Tarrow ]; then
            continue
        elif [ -L "$entry" ]; then
            cp -P "$entry" "$name"
        elif [ -d "$entry" ]; then
            mkdir "$name" && mount --rbind "$entry" "$name"
        elif [ -e "$entry" ]; then
            touch "$name" && mount --bind "$entry" "$name"
        fi
    done
    umount -R "$scratch/varlib"  # the staging view of the real /var/lib goes again
    rmdir "$scratch/varlib"
    mkdir -m 0755 /var/lib/Tarrow
    mount --bind "$scratch/hits" /var/lib/Tarrow
}

# /usr, /etc and /var as overlays whose upper layers live on a tmpfs of this namespace.
overlay_system() {
    local layers=$1/layers top
    mkdir "$layers"
    mount -t tmpfs -o mode=0700 tmpfs "$layers"
    for top in usr etc var; do
        mkdir "$layers/$top" "$layers/$top.work"
        if ! mount -t overlay overlay \
            -o "lowerdir=/$top,upperdir=$layers/$top,workdir=$layers/$top.work" "/$top"; then
            echo "netns: overlay mounts not permitted here; skipped" >&2
            exit 77
        fi
    done
}

if [ "${1:-}" = "--inside" ]; then
    scratch=$2
    mode=$3
    shift 3
    mount --make-rprivate /
    ip link set lo up
    if [ "$mode" = overlay ]; then
        overlay_system "$scratch"
    else
        private_etc_and_hits "$scratch"
    fi
    for folder in /run/systemd /run/dbus /run/nscd; do
        if [ -d "$folder" ]; then mount -t tmpfs -o mode=0755,size=1m tmpfs "$folder"; fi
    done
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
if [ "$(id -u)" -ne 0 ]; then
    echo "netns: needs root; skipped" >&2
    exit 77
fi
if ! command -v ip >/dev/null || ! unshare --mount --net --pid --fork true 2>/dev/null; then
    echo "netns: namespaces not permitted here; skipped" >&2
    exit 77
fi

scratch=$(mktemp -d /tmp/tarrow-netns.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
if [ "$mode" = copy ]; then
    cp -a /etc "$scratch/etc"
    mkdir -m 0755 "$scratch/hits"
fi
mkdir "$scratch/work"

set +e
unshare --mount --net --pid --fork --kill-child --mount-proc \
    bash "${BASH_SOURCE[0]}" --inside "$scratch" "$mode" "$@"
status=$?
set -e
exit $status
