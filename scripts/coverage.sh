#!/usr/bin/env bash
# Line and branch coverage of model/, render/ and app/ by the whole test suite,
# end-to-end tests included. Fails below 95 % of lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh viewer test
scripts/build.sh coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage -j "$(nproc)" | tail -n 3
gcovr --root . --object-directory build/coverage --filter 'model/' --filter 'render/' --filter 'app/' \
    --txt --branches --print-summary --fail-under-line 95 build/coverage
