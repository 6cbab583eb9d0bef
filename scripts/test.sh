#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: optimised,
# and under AddressSanitizer and UndefinedBehaviorSanitizer; then fuzzes the
# model for a few seconds per target (clang's libFuzzer, same sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in release sanitize fuzz; do
    echo "== $preset"
    scripts/build.sh "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
