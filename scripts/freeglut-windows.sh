#!/usr/bin/env bash
# Builds freeglut for 64-bit Windows from Debian's own freeglut source package
# with the MinGW-w64 cross compiler, into build/freeglut-windows/install
# (GL/glut.h, the import library and libglut.dll), with the source package's
# copyright file beside them (share/freeglut/copyright, where vcpkg puts it
# too), for the release's notices. Nothing but the Debian archive is reached;
# a build already there is kept. Where the archive cannot
# give the source package, it writes why to build/freeglut-windows/unavailable
# and ends with status 3.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$PWD/build/freeglut-windows
[ -f "$work/install/bin/libglut.dll" ] && [ -f "$work/install/share/freeglut/copyright" ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# apt-get source needs deb-src entries: made from the machine's Debian deb
# entries when it has none.
if ! apt-get source --print-uris -qq freeglut >/dev/null 2>&1; then
    echo "freeglut-windows: apt-get source needs deb-src entries, and this machine has none:" \
        "adding them for its Debian sources to apt's configuration," \
        "in /etc/apt/sources.list.d/wibble-deb-src.list and .sources (remove both to undo)"
    shopt -s nullglob
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] && grep -h '^deb .*debian' "$list" | sed 's/^deb /deb-src /' || true
    done | "${as_root[@]}" tee /etc/apt/sources.list.d/wibble-deb-src.list >/dev/null
    for sources in /etc/apt/sources.list.d/*.sources; do
        awk -v RS= -v ORS='\n\n' '/URIs:[^\n]*debian/' "$sources" | sed 's/^Types:.*/Types: deb-src/'
    done | "${as_root[@]}" tee /etc/apt/sources.list.d/wibble-deb-src.sources >/dev/null
    "${as_root[@]}" apt-get update -q
fi

rm -rf "$work"
mkdir -p "$work"
if ! (cd "$work" && apt-get source -q freeglut >"$work/apt-get-source.log" 2>&1); then
    release=$(. /etc/os-release && echo "$PRETTY_NAME")
    echo "the archive of $release cannot give the source package freeglut" \
        "(apt-get source freeglut failed: $(grep -m 1 '^E: ' "$work/apt-get-source.log" || echo 'see its log'))" \
        >"$work/unavailable"
    exit 3
fi
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'freeglut-*')
# The DLL's time stamp is its source package's, as Debian builds it: the same
# wherever and whenever it is built.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$source_dir/debian/changelog" -S Timestamp)
export SOURCE_DATE_EPOCH
# As glut rather than freeglut, so that it installs GL/glut.h.
cmake -S "$source_dir" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$work/install" \
    -DFREEGLUT_REPLACE_GLUT=ON \
    -DFREEGLUT_BUILD_STATIC_LIBS=OFF \
    -DFREEGLUT_BUILD_DEMOS=OFF >/dev/null
cmake --build "$work/build" -j "$(nproc)"
cmake --install "$work/build" --strip >/dev/null
install -D -m 644 "$source_dir/debian/copyright" "$work/install/share/freeglut/copyright"
