#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: optimised,
# and under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in release sanitize; do
    echo "== $preset"
    scripts/build.sh "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
