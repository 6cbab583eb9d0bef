#!/usr/bin/env bash
# What the run command and the Debian package install on a fresh Debian: a
# minimal Debian root (debootstrap, kept in build/fresh-debian) asks apt what it
# would install for the run command's packages, with and without a display,
# and for dist/wibble_<version>_amd64.deb. Needs root and the Debian archive.
set -euo pipefail
cd "$(dirname "$0")/.."
root=build/fresh-debian
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
if [ ! -x "$root/usr/bin/apt-get" ]; then
    command -v debootstrap >/dev/null || apt-get install -y -q debootstrap
    debootstrap --variant=minbase "$suite" "$root" http://deb.debian.org/debian >/dev/null
    chroot "$root" apt-get update -q >/dev/null
fi

footprint() {
    local what=$1
    shift
    local plan
    plan=$(chroot "$root" apt-get install --no-install-recommends --assume-no "$@" 2>/dev/null || true)
    echo "$what: $(grep -o '[0-9]* newly installed' <<<"$plan"), $(grep -o 'Need to get [^ ]* [kMG]B' <<<"$plan" | sed 's/Need to get //') to download"
}

# shellcheck disable=SC2046
footprint "run command with a display" $(scripts/setup.sh --list viewer)
# shellcheck disable=SC2046
footprint "run command without a display" $(scripts/setup.sh --list viewer headless)
for deb in dist/*.deb; do
    cp "$deb" "$root/tmp/"
    footprint "apt-get install ./$(basename "$deb")" "/tmp/$(basename "$deb")"
done
