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

# Leaves the Windows build out, saying why, with status 3.
unavailable() {
    mkdir -p "$work"
    echo "$*" >"$work/unavailable"
    exit 3
}

# apt-get source needs deb-src entries: made, where the machine has none, from
# its entries for Debian's own archives (those whose Release files say Origin:
# Debian), with their options, such as the key they are signed with.
# Third-party archives, which may serve no sources, are left alone.
added=/etc/apt/sources.list.d/wibble-deb-src
if ! apt-get source --print-uris -qq freeglut >/dev/null 2>&1; then
    echo "freeglut-windows: apt-get source needs deb-src entries, and this machine has none:" \
        "adding them for its Debian archives to apt's configuration," \
        "in $added.list and .sources (remove both to undo)"
    # The fields are apt's, which it fills in itself.
    # shellcheck disable=SC2016
    debian=$(apt-get indextargets --format '$(ORIGIN) $(REPO_URI)') ||
        unavailable "apt-get indextargets could not list this machine's archives"
    debian=$(awk '$1 == "Debian" { print $2 }' <<<"$debian" | sort -u)
    [ -n "$debian" ] || unavailable "apt lists no archive of Debian's own on this machine"
    shopt -s nullglob
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        if [ ! -f "$list" ] || [ "$list" = "$added.list" ]; then continue; fi
        awk -v debian="$debian" 'BEGIN { split(debian, uris, "\n"); for (u in uris) own[uris[u]] = 1 }
            $1 == "deb" {
                f = 2
                if ($f ~ /^\[/) { while (f < NF && $f !~ /\]$/) f++; f++ }
                uri = $f; sub(/\/*$/, "/", uri)
                if (uri in own) { sub(/^deb/, "deb-src"); print }
            }' "$list"
    done | "${as_root[@]}" tee "$added.list" >/dev/null
    for sources in /etc/apt/sources.list.d/*.sources; do
        [ "$sources" != "$added.sources" ] || continue
        awk -v debian="$debian" -v RS= -v ORS='\n\n' '
            BEGIN { split(debian, uris, "\n"); for (u in uris) own[uris[u]] = 1 }
            /(^|\n)Types:[^\n]*(^|[ \t])deb([ \t]|\n|$)/ && match($0, /(^|\n)URIs:[^\n]*/) {
                n = split(substr($0, RSTART, RLENGTH), words, /[ \t\n]+/)
                mine = 0
                for (w = 1; w <= n; w++) {
                    if (words[w] == "" || words[w] == "URIs:") continue
                    uri = words[w]; sub(/\/*$/, "/", uri)
                    if (!(uri in own)) next
                    mine = 1
                }
                if (mine) { sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }
            }' "$sources"
    done | "${as_root[@]}" tee "$added.sources" >/dev/null
    update_log=$PWD/build/freeglut-windows-apt-get-update.log
    mkdir -p build
    if ! "${as_root[@]}" apt-get update -q >"$update_log" 2>&1; then
        "${as_root[@]}" rm -f "$added.list" "$added.sources"
        unavailable "apt-get update failed with the deb-src entries added, which were removed again" \
            "($(grep -m 1 '^E: ' "$update_log" || echo "see $update_log"))"
    fi
fi

rm -rf "$work"
mkdir -p "$work"
if ! (cd "$work" && apt-get source -q freeglut >"$work/apt-get-source.log" 2>&1); then
    # The machine's own file, not the project's to check.
    # shellcheck source=/dev/null
    release=$(. /etc/os-release && echo "$PRETTY_NAME")
    unavailable "the archive of $release cannot give the source package freeglut" \
        "(apt-get source freeglut failed: $(grep -m 1 '^E: ' "$work/apt-get-source.log" || echo 'see its log'))"
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
