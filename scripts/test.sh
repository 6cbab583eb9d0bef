#!/usr/bin/env bash
# Installs what is missing, builds the packages (scripts/package.sh), then
# builds and runs every test twice: optimised with GCC, with the packages' own
# tests, and with clang under AddressSanitizer and UndefinedBehaviorSanitizer;
# then fuzzes the model for a few seconds per target (clang's libFuzzer, same
# sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh viewer test package
scripts/package.sh
for preset in release sanitize fuzz; do
    echo "== $preset"
    scripts/build.sh "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
