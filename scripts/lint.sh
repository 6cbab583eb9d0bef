#!/usr/bin/env bash
# Static checks: the checked-in clang-format style and clang-tidy configuration,
# over every C++ file of the project. Needs a configured release build for the
# compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
[ -f build/release/compile_commands.json ] || cmake --preset release >/dev/null

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "lint: clang-format clean"
git ls-files "*.cpp" | xargs -P "$(nproc)" -n 4 clang-tidy -p build/release --quiet 2> >(grep -v "warnings generated" >&2)
echo "lint: clang-tidy clean"
