#!/usr/bin/env bash
# Line and branch coverage of model/, render/ and app/ by the whole test suite
# but the package tests, end-to-end tests included, as the sanitized build
# (clang, instrumented for coverage) last ran it in scripts/test.sh; where it
# has not run, it is built and run here. Fails below 95 % of lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh viewer test
if [ -z "$(find build/sanitize -name '*.gcda' -print -quit 2>/dev/null)" ]; then
    scripts/build.sh sanitize
    ctest --preset sanitize -j "$(nproc)" | tail -n 3
fi
gcovr --root . --object-directory build/sanitize --gcov-executable 'llvm-cov gcov' \
    --filter 'model/' --filter 'render/' --filter 'app/' \
    --txt --branches --print-summary --fail-under-line 95 build/sanitize
