#!/usr/bin/env bash
# Builds an earlier release from git history, with that release's own
# scripts, for the upgrade tests: its Debian package for this machine and its
# Windows installer, into build/earlier-release/, where they are kept for as
# long as the commit is the same. The release is 1.0.0 (commit 36b6a4d), or
# the commit named. freeglut for Windows is the one built here already
# (scripts/freeglut-windows.sh), made from the same Debian source.
# Where there is no git history, as in the source tarball, or the earlier
# release leaves its Windows files out, it writes why to
# build/earlier-release/unavailable and ends with status 3.
#
#   scripts/earlier-release.sh [COMMIT]
set -euo pipefail
cd "$(dirname "$0")/.."
commit=${1:-36b6a4d3994cba112014fce2a9ecbd6fe7e6314d}
out=build/earlier-release

unavailable() {
    echo "$*" >"$out/unavailable"
    echo "earlier-release: $*" >&2
    exit 3
}

if [ "$(cat "$out/built-from" 2>/dev/null)" = "$commit" ]; then
    [ ! -f "$out/unavailable" ] || exit 3
    exit 0
fi
rm -rf "$out"
mkdir -p "$out"
# What its Debian package and Windows files need, git among it.
scripts/setup.sh viewer package-deb package-windows
git rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
    unavailable "the earlier release $commit is built from git history, which this source has not"
git cat-file -e "$commit^{commit}" 2>/dev/null ||
    unavailable "git history holds no commit $commit to build the earlier release from"

echo "earlier-release: building the release of commit $commit"
source="$out/source"
mkdir -p "$source/build"
git archive "$commit" | tar -x -C "$source" || { echo "earlier-release: git archive $commit failed" >&2; exit 1; }
if [ -d build/freeglut-windows/install ]; then
    cp -a build/freeglut-windows "$source/build/"
fi
# Dated as that release was, by its commit.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit") ||
    { echo "earlier-release: git cannot date $commit" >&2; exit 1; }
export SOURCE_DATE_EPOCH
bash "$source/scripts/package.sh" deb windows ||
    { echo "earlier-release: the release of $commit did not build" >&2; exit 1; }
find "$source/dist" -maxdepth 1 -type f \( -name 'wibble_*.deb' -o -name 'wibble-*-setup.exe' \) \
    -exec cp {} "$out/" \;
left_out=$(sed -n 's/^windows: //p' "$source/dist/left-out.txt" 2>/dev/null || true)
rm -rf "$source"
echo "$commit" >"$out/built-from"
[ -z "$left_out" ] || unavailable "the earlier release left its Windows files out: $left_out"
