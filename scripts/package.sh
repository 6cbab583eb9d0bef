#!/usr/bin/env bash
# Builds the release packages into dist/: the Debian package for this machine
# (deb) and for arm64, armhf and i386 (named so), the Windows zip and installer
# (windows), the web page (web) and the source tarball (source, from a git
# checkout); all of them, or those named, installing
# only what those need. Where the Debian release cannot give freeglut's source
# for Windows, the zip and the installer are left out with a word why, and the
# others are built. dist/ then holds these files alone, with SHA256SUMS, and
# BUILT-FROM, which names the source they were built from
# (scripts/source-id.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
host=$(dpkg --print-architecture) || { echo "package: dpkg cannot name this machine's architecture" >&2; exit 1; }
if [ $# -eq 0 ]; then
    set -- deb arm64 armhf i386 windows web
    # A clone gives the source tarball too; unpacked from one, the folder is
    # the source already.
    if [ -e .git ]; then set -- "$@" source; fi
fi
kinds=()
for kind in "$@"; do
    case $kind in
    # This machine's own architecture is built natively, as deb.
    "$host") kinds+=(deb) ;;
    deb | arm64 | armhf | i386 | windows | web | source) kinds+=("$kind") ;;
    *)
        echo "package: no package kind $kind (deb, arm64, armhf, i386, windows, web or source)" >&2
        exit 2
        ;;
    esac
done
mapfile -t kinds < <(printf '%s\n' "${kinds[@]}" | awk '!seen[$0]++')
set -- "${kinds[@]}"
# What the kinds named need, and no more.
scripts/setup.sh viewer "${@/#/package-}"
# Asked after the set-up, which installs git for the kinds that use it.
in_git=false
git rev-parse --is-inside-work-tree >/dev/null 2>&1 && in_git=true
source_id=$(scripts/source-id.sh) || { echo "package: cannot name the source" >&2; exit 1; }
version=$(cat VERSION)
# Nothing of an earlier build or version is left to be taken for this one's.
rm -rf dist
mkdir dist
# Reproducible packages: every time they hold is the last commit's, and every
# mode is as in Debian's own packages, whatever the caller's umask.
umask 022
# Outside git, as unpacked from the source tarball, the changelog's newest entry.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && $in_git; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || { echo "package: git cannot date the last commit" >&2; exit 1; }
elif [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l platform/debian/changelog -S Timestamp) ||
        { echo "package: dpkg-parsechangelog cannot date the changelog" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH

# Runs CPack on a configured build and copies what it writes into dist/.
pack() {
    local build=$1
    rm -rf "$build/cpack"
    cpack --config "$build/CPackConfig.cmake" -B "$build/cpack" >/dev/null
    find "$build/cpack" -maxdepth 1 -type f -exec cp {} dist/ \; -exec basename {} \;
}

# A Debian package from a preset, built with Debian's hardening flags for the
# architecture, as Debian builds its own packages.
debian_package() {
    local preset=$1 architecture=$2
    local flags=(env DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_HOST_ARCH="$architecture"
        dpkg-buildflags --get) cppflags cxxflags ldflags
    # A package built without them would pass for one built with them.
    if ! cppflags=$("${flags[@]}" CPPFLAGS) || ! cxxflags=$("${flags[@]}" CXXFLAGS) ||
        ! ldflags=$("${flags[@]}" LDFLAGS); then
        echo "package: dpkg-buildflags cannot give the flags for $architecture" >&2
        exit 1
    fi
    cmake --preset "$preset" >/dev/null \
        -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
    cmake --build --preset "$preset" -j "$(nproc)"
    # dpkg-shlibdeps looks for the architecture's libraries.
    DEB_HOST_ARCH=$architecture pack "build/$preset"
}

for kind in "$@"; do
    case $kind in
    deb) debian_package package "$host" ;;
    # Cross-built: each preset is named after its architecture.
    arm64 | armhf | i386) debian_package "$kind" "$kind" ;;
    windows)
        status=0
        scripts/freeglut-windows.sh || status=$?
        # What is left out, and why, is said in dist/left-out.txt for the tests.
        if [ "$status" -eq 3 ]; then
            echo "windows: $(cat build/freeglut-windows/unavailable)" >dist/left-out.txt
            echo "package: no Windows zip or installer: $(cat build/freeglut-windows/unavailable)" >&2
            continue
        fi
        [ "$status" -eq 0 ] || { echo "package: freeglut for Windows failed to build" >&2; exit "$status"; }
        scripts/build.sh windows
        pack build/windows
        # CPack's zip takes the order of the folder's entries and the builder's
        # uid and gid; Debian's own normaliser sorts and clears them.
        strip-nondeterminism --timestamp "$SOURCE_DATE_EPOCH" dist/*-win64.zip
        # makensis dates what it writes by SOURCE_DATE_EPOCH.
        rm -f build/windows/wibble-*-win64-setup.exe
        cmake --build build/windows --target installer >/dev/null
        cp build/windows/wibble-*-win64-setup.exe dist/
        basename build/windows/wibble-*-win64-setup.exe
        ;;
    source)
        $in_git || { echo "package: the source tarball is made from a git checkout" >&2; exit 1; }
        # The files of the tree that BUILT-FROM names, in one folder named for
        # the release; owners, modes, order and times fixed, as in the packages.
        git ls-tree -r -z --name-only "$source_id" |
            tar --create --null --files-from=- --format=gnu --sort=name \
                --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner --mode=go-w \
                --transform="s|^|wibble-$version/|" |
            gzip -9 -n >"dist/wibble-$version.tar.gz"
        echo "wibble-$version.tar.gz"
        ;;
    web)
        # The Closure compiler, at the version its lock file pins; npm's own
        # errors are shown.
        npm ci --prefix scripts/closure --no-audit --no-fund --loglevel=error ||
            { echo "package: npm could not install the Closure compiler" >&2; exit 1; }
        scripts/build.sh web
        cmake --install build/web --prefix dist | sed -n 's|^-- [A-Za-z-]*: .*/||p'
        ;;
    esac
done

# What the packages are, to check them by (sha256sum --check SHA256SUMS).
(cd dist && sha256sum -- wibble[-_]* >SHA256SUMS)
echo "$source_id" >dist/BUILT-FROM
