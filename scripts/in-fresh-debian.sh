#!/usr/bin/env bash
# Runs a command in a clone of this repository's last commit, in a folder
# whose path holds a space, as a user's may, as root on a fresh minimal Debian
# of the release SUITE (scripts/debian-root.sh), with
# /proc, /dev and /sys mounted for it. Whatever happens, the mounts are undone
# and the root is removed. Needs root and the Debian archive.
#
#   scripts/in-fresh-debian.sh SUITE COMMAND...
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: scripts/in-fresh-debian.sh SUITE COMMAND..." >&2; exit 2; }
suite=$1
shift
mkdir -p build
root=$(mktemp -d "$PWD/build/fresh-$suite-XXXXXX")

remove_root() {
    # What the command left running holds on to the mounts.
    for process in /proc/[0-9]*; do
        if [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ]; then
            kill -KILL "${process#/proc/}" 2>/dev/null || true
        fi
    done
    for mounted in sys dev proc; do
        if mountpoint -q "$root/$mounted"; then
            umount -R "$root/$mounted" 2>/dev/null || umount -R -l "$root/$mounted"
        fi
    done
    # Never into anything still mounted.
    rm -rf --one-file-system "$root"
}
trap remove_root EXIT

scripts/debian-root.sh "$suite" "$root"
clone="/root/wibble clone"
git clone -q "$PWD" "$root$clone"
mount -t proc proc "$root/proc"
for tree in dev sys; do
    mount --rbind "/$tree" "$root/$tree"
    mount --make-rslave "$root/$tree"
done
echo "in-fresh-debian: $* in Debian $suite ($(cat "$root/etc/debian_version"))"
environment=(HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin)
authorities=/usr/local/share/ca-certificates/this-machine.crt
[ ! -f "$root$authorities" ] || environment+=(NODE_EXTRA_CA_CERTS="$authorities")
# The shell in the root expands its arguments, not this one.
# shellcheck disable=SC2016
env -i "${environment[@]}" chroot "$root" /bin/bash -c 'cd "$0" && exec "$@"' "$clone" "$@"
