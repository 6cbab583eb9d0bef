#!/usr/bin/env bash
# Prints what names the source in this folder as it stands: the id of the tree
# of every file that git would commit now, tracked or new, changed or not. Two
# folders print the same id exactly when they hold the same source. Outside
# git, as unpacked from the source tarball, the SHA-256 of every file's path
# and bytes but what builds write (build/, dist/, out/ and npm's modules).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    find . \( -path ./build -o -path ./dist -o -path ./out -o -path ./Testing \
        -o -name node_modules \) -prune -o -type f -print0 | LC_ALL=C sort -z |
        xargs -0 sha256sum | sha256sum | cut -d ' ' -f 1
    exit 0
fi
index=$(mktemp)
trap 'rm -f "$index"' EXIT
# A scratch index, so that the repository's own is left as it is.
rm -f "$index"
GIT_INDEX_FILE=$index git add --all
GIT_INDEX_FILE=$index git write-tree
