#!/usr/bin/env bash
# Installs what is missing, builds the packages (scripts/package.sh) and the
# earlier release that they upgrade (scripts/earlier-release.sh), then
# builds and runs every test twice: optimised with GCC, with the packages' own
# tests, and with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# counting coverage for scripts/coverage.sh; then fuzzes the model for a few
# seconds per target (clang's libFuzzer, same sanitizers), and runs the unit
# tests cross-built for arm64, armhf, i386, ppc64el, riscv64 and s390x under
# qemu, where the model's floats must come out the same to the bit.
set -euo pipefail
cd "$(dirname "$0")/.."
# debootstrap too, for the Debian upgrade test, so that no test runs apt-get
# while another does.
scripts/setup.sh viewer test root
scripts/package.sh
# What the upgrade tests start from; where it cannot be had (status 3), they
# say why.
status=0
scripts/earlier-release.sh || status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 3 ] || exit "$status"
for preset in release sanitize fuzz arm64-tests armhf-tests i386-tests ppc64el-tests riscv64-tests \
    s390x-tests; do
    echo "== $preset"
    scripts/build.sh "$preset"
    # Coverage counts start again with each run.
    [ "$preset" != sanitize ] || find build/sanitize -name '*.gcda' -delete
    ctest --preset "$preset" -j "$(nproc)"
done
