#!/usr/bin/env bash
# Builds the packages of the last commit a second time, in a clone in another
# folder, and compares them byte for byte with those in dist/ (written by
# scripts/package.sh from the same commit): names each package that differs
# and fails if any does.
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
for package in "$second"/wibble/dist/*; do
    name=$(basename "$package")
    if cmp -s "$package" "dist/$name"; then
        echo "reproducible: $name is the same"
    else
        echo "reproducible: $name differs between the two builds" >&2
        status=1
    fi
done
exit "$status"
