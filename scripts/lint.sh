#!/usr/bin/env bash
# Static checks: shellcheck over every shell script, then the checked-in
# clang-format style and clang-tidy configuration over every C++ file of the
# project. Needs a configured release build for the
# compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh viewer test
[ -f build/release/compile_commands.json ] || cmake --preset release >/dev/null

# Every shell script, at shellcheck's default level.
scripts=$(git ls-files '*.sh' .ci/run) || { echo "lint: git cannot list the shell scripts" >&2; exit 1; }
mapfile -t shell_scripts <<<"$scripts"
shellcheck "${shell_scripts[@]}"
echo "lint: shellcheck clean"

sources=$(git ls-files '*.cpp' '*.h') || { echo "lint: git cannot list the C++ files" >&2; exit 1; }
mapfile -t sources <<<"$sources"
clang-format --dry-run --Werror "${sources[@]}"
echo "lint: clang-format clean"
# The fuzzers build only with clang's fuzzing flags, so they are checked in
# their own build's compile commands.
git ls-files "*.cpp" ":!tests/fuzz/" | xargs -P "$(nproc)" -n 4 clang-tidy -p build/release --quiet 2> >(grep -v "warnings generated" >&2)
if [ -f build/fuzz/compile_commands.json ]; then
    git ls-files "tests/fuzz/*.cpp" | xargs clang-tidy -p build/fuzz --quiet 2> >(grep -v "warnings generated" >&2)
fi
echo "lint: clang-tidy clean"
