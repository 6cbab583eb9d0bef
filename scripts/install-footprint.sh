#!/usr/bin/env bash
# What the run command, the Debian package and building that package install
# on a fresh Debian: in a minimal root of each release (scripts/debian-root.sh;
# bookworm and trixie unless others are named), apt says what it would install
# for the run command's packages, with and without a display, for
# dist/wibble_<version>_<this machine's architecture>.deb, and for
# scripts/package.sh deb and for scripts/test.sh: how many packages, how much
# to download and how much disk they take once installed. Needs root and the
# Debian archive.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- bookworm trixie
mkdir -p build
root=$(mktemp -d "$PWD/build/footprint-XXXXXX")
trap 'rm -rf --one-file-system "$root"' EXIT

footprint() {
    local what=$1
    shift
    local plan
    plan=$(chroot "$root" apt-get install --no-install-recommends --assume-no "$@" 2>/dev/null || true)
    echo "$suite: $what: $(grep -o '[0-9]* newly installed' <<<"$plan")," \
        "$(grep -o 'Need to get [^ ]* [kMG]B' <<<"$plan" | sed 's/Need to get //') to download," \
        "$(grep -o '[^ ]* [kMG]B of additional disk space' <<<"$plan" | sed 's/ of additional disk space//') on disk"
}

# The packages of the groups named, a word each.
packages_of() {
    local listed
    listed=$(scripts/setup.sh --list "$@") || { echo "install-footprint: setup.sh cannot list $*" >&2; exit 1; }
    echo "$listed"
}
with_display=$(packages_of viewer)
without_display=$(packages_of viewer headless)
packaging=$(packages_of viewer package-deb)
host=$(dpkg --print-architecture)

for suite in "$@"; do
    rm -rf --one-file-system "${root:?}"/*
    scripts/debian-root.sh "$suite" "$root"
    # shellcheck disable=SC2086
    footprint "run command with a display" $with_display
    # shellcheck disable=SC2086
    footprint "run command without a display" $without_display
    # shellcheck disable=SC2086
    footprint "scripts/package.sh deb" $packaging
    for deb in dist/*_"$host".deb; do
        [ -f "$deb" ] || continue
        cp "$deb" "$root/tmp/"
        footprint "apt-get install ./$(basename "$deb")" "/tmp/$(basename "$deb")"
    done
    # The test command's, as the release lists them, with the architectures
    # added that it adds.
    packages=$(chroot "$root" bash -s -- --list viewer headless test package <scripts/setup.sh)
    while read -r architecture; do
        chroot "$root" dpkg --add-architecture "$architecture"
    done < <(sed -n 's/.*:\([a-z0-9]*\)$/\1/p' <<<"$packages" | sort -u)
    chroot "$root" apt-get update -q >/dev/null
    # shellcheck disable=SC2086
    footprint "scripts/test.sh" $packages
done
