#!/usr/bin/env bash
# Builds the release packages into dist/: the Debian package (deb), the Windows
# zip (windows) and the web page (web); all three, or those named. Where the
# Debian release cannot give freeglut's source for Windows, the zip is left out
# with a word why, and the others are built.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- deb windows web
scripts/setup.sh viewer package
mkdir -p dist

# Runs CPack on a configured build and copies what it writes into dist/.
pack() {
    local build=$1
    rm -rf "$build/cpack"
    cpack --config "$build/CPackConfig.cmake" -B "$build/cpack" >/dev/null
    find "$build/cpack" -maxdepth 1 -type f -exec cp {} dist/ \; -exec basename {} \;
}

for kind in "$@"; do
    case $kind in
    deb)
        # Debian's hardening flags, as its own packages are built with.
        export DEB_BUILD_MAINT_OPTIONS=hardening=+all
        cmake --preset package >/dev/null \
            -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
            -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
        cmake --build --preset package -j "$(nproc)"
        pack build/package
        ;;
    windows)
        status=0
        scripts/freeglut-windows.sh || status=$?
        if [ "$status" -eq 3 ]; then
            rm -f dist/*-win64.zip
            echo "package: no Windows zip: $(cat build/freeglut-windows/unavailable)" >&2
            continue
        fi
        [ "$status" -eq 0 ] || exit "$status"
        scripts/build.sh windows
        pack build/windows
        ;;
    web)
        scripts/build.sh web
        cmake --install build/web --prefix dist | sed -n 's|^-- [A-Za-z-]*: .*/||p'
        ;;
    *)
        echo "package: no package kind $kind" >&2
        exit 2
        ;;
    esac
done
