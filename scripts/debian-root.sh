#!/usr/bin/env bash
# Makes FOLDER a fresh minimal root of a Debian release, as a newly installed
# machine has it: debootstrap's minbase variant, with the release's updates
# and security archives, apt's lists up to date. What debootstrap made is kept
# as build/debian-SUITE.tar and unpacked for every later root. Needs root and
# the Debian archive.
#
#   scripts/debian-root.sh SUITE FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 2 ] || { echo "usage: scripts/debian-root.sh SUITE FOLDER" >&2; exit 2; }
suite=$1
root=$2
cache=build/debian-$suite.tar

if [ ! -f "$cache" ]; then
    command -v debootstrap >/dev/null || scripts/setup.sh root
    # debootstrap cannot make a root at a path that holds a space, as this
    # folder's may: it makes it in the system's temporary folder.
    made=$(mktemp -d /tmp/wibble-debootstrap-XXXXXX)
    chmod 755 "$made"
    trap 'rm -rf --one-file-system "$made" "$made.log" ${part:+"$part"}' EXIT
    echo "debian-root: bootstrapping Debian $suite"
    if ! debootstrap --variant=minbase "$suite" "$made" http://deb.debian.org/debian >"$made.log" 2>&1; then
        tail -n 5 "$made.log" >&2
        echo "debian-root: debootstrap could not make a Debian $suite root" >&2
        exit 1
    fi
    cat >>"$made/etc/apt/sources.list" <<SOURCES
deb http://deb.debian.org/debian $suite-updates main
deb http://deb.debian.org/debian-security $suite-security main
SOURCES
    # Written aside and then moved, so that a root made at the same time
    # never unpacks half of it.
    part=$(mktemp "$cache.XXXXXX")
    tar --numeric-owner -C "$made" -cf "$part" .
    chmod 644 "$part"
    mv "$part" "$cache"
fi

mkdir -p "$root"
tar --numeric-owner -C "$root" -xf "$cache"
# The root reaches the network as this machine does: through its resolver,
# trusting the certificate authorities that its administrator added, in one
# file that scripts/in-fresh-debian.sh hands to Node.js (npm needs them where
# a proxy inspects TLS).
cp /etc/resolv.conf "$root/etc/resolv.conf"
if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cat /usr/local/share/ca-certificates/*.crt >"$root/usr/local/share/ca-certificates/this-machine.crt"
fi
chroot "$root" apt-get update -q >/dev/null
