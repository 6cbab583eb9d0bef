#!/usr/bin/env bash
# Prints what names the source in this folder as it stands: the id of the tree
# of every file that git would commit now, tracked or new, changed or not. Two
# folders print the same id exactly when they hold the same source.
set -euo pipefail
cd "$(dirname "$0")/.."
index=$(mktemp)
trap 'rm -f "$index"' EXIT
# A scratch index, so that the repository's own is left as it is.
rm -f "$index"
GIT_INDEX_FILE=$index git add --all
GIT_INDEX_FILE=$index git write-tree
