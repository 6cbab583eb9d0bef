#!/usr/bin/env bash
# Prints the path of the web page in dist/, building it first where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
shopt -s nullglob
pages=(dist/wibble-*.html)
[ ${#pages[@]} -gt 0 ] || { scripts/package.sh web >/dev/null && pages=(dist/wibble-*.html); }
echo "${pages[0]}"
