#!/usr/bin/env bash
# Builds the packages of the last commit a second time, in a clone in another
# folder, and compares them byte for byte with those in dist/ (written by
# scripts/package.sh from the same commit): names each package that differs,
# or that only one of the two builds has, and fails if any does.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f dist/SHA256SUMS ] || scripts/package.sh >/dev/null
mkdir -p build
second=$(mktemp -d "$PWD/build/second-build-XXXXXX")
trap 'rm -rf "$second"' EXIT
git clone -q "$PWD" "$second/wibble"
if ! (cd "$second/wibble" && scripts/package.sh >"$second/package.log" 2>&1); then
    cat "$second/package.log" >&2
    exit 1
fi

status=0
# Every file either build wrote: one that only one of them has was not built
# by the other.
names=$( (ls "$second/wibble/dist" && ls dist) | sort -u)
while read -r name; do
    if [ ! -f "dist/$name" ]; then
        echo "reproducible: $name is missing from dist/, which the second build wrote" >&2
        status=1
    elif [ ! -f "$second/wibble/dist/$name" ]; then
        echo "reproducible: $name is missing from the second build" >&2
        status=1
    elif cmp -s "$second/wibble/dist/$name" "dist/$name"; then
        echo "reproducible: $name is the same"
    else
        echo "reproducible: $name differs between the two builds" >&2
        status=1
    fi
done <<<"$names"
exit "$status"
