#!/usr/bin/env bash
# Installs the Debian packages that a command needs, where they are missing.
#
#   scripts/setup.sh [--list] GROUP...
#
#   viewer    building and showing the viewer
#   headless  showing it without a display: Xvfb and a screenshot
#   test      the tests, benchmarks and static checks, and what runs and checks
#             the packages (Wine, three browser engines, qemu and the Mesa of
#             arm64, armhf and i386, the desktop entry's and AppStream's
#             validators, gio, and MinGW-w64's binutils to read the Windows
#             program's imports and resources), and the cross compilers and
#             GoogleTest of every architecture the unit tests are built for
#   package-deb      building the Debian package for this machine, its icon
#                    drawn by librsvg
#   package-arm64    building the arm64 Debian package: the aarch64 cross
#   package-armhf    compiler and arm64's libraries; likewise armhf's and
#   package-i386     i386's
#   package-windows  building the Windows zip and installer: MinGW-w64, NSIS,
#                    icoutils for the icon, python3-debian for the notices
#   package-web      building the web page: Emscripten, Node.js and npm for
#                    the Closure compiler, python3-debian
#   package-source   the source tarball: git
#   package   every package-* group
#   lighthouse  auditing the web page with Lighthouse (Node.js, Chromium, a web server)
#   root      making a fresh Debian root to install or test in (debootstrap)
#
# Packages of another architecture (name:arch) need that architecture added to
# dpkg, which it says before it does so. With --list it prints the packages of
# the groups instead of installing them.
set -euo pipefail

list=false
if [ "${1:-}" = --list ]; then
    list=true
    shift
fi

groups=()
for group in "$@"; do
    if [ "$group" = package ]; then
        groups+=(package-deb package-arm64 package-armhf package-i386 package-windows package-web
            package-source)
    else
        groups+=("$group")
    fi
done

# The GNU system type of a Debian architecture, which names its cross compiler.
triplet() {
    case $1 in
    arm64) echo aarch64-linux-gnu ;;
    armhf) echo arm-linux-gnueabihf ;;
    i386) echo i686-linux-gnu ;;
    esac
}

packages=()
for group in "${groups[@]}"; do
    case $group in
    viewer) packages+=(cmake make g++ freeglut3-dev libgl-dev libx11-dev libxdamage-dev libgl1-mesa-dri) ;;
    headless) packages+=(xvfb maim) ;;
    test)
        packages+=(cmake make clang llvm clang-format clang-tidy shellcheck libclang-rt-dev libgtest-dev
            libbenchmark-dev xvfb libx11-dev libxtst-dev libpng-dev valgrind gcovr
            lintian wine wine64 chromium chromium-driver firefox-esr webkit2gtk-driver
            nlohmann-json3-dev libcurl4-openssl-dev
            librsvg2-bin binutils-mingw-w64-x86-64 desktop-file-utils appstream libglib2.0-bin
            qemu-user-static libgl1-mesa-dri:arm64 libgl1-mesa-dri:armhf libgl1-mesa-dri:i386
            g++-aarch64-linux-gnu g++-arm-linux-gnueabihf g++-i686-linux-gnu
            g++-powerpc64le-linux-gnu g++-riscv64-linux-gnu g++-s390x-linux-gnu
            libgtest-dev:arm64 libgtest-dev:armhf libgtest-dev:i386 libgtest-dev:ppc64el
            libgtest-dev:s390x)
        # Debian 12 has no riscv64: its tests build GoogleTest from source.
        # The machine's own file, not the project's to check.
        # shellcheck source=/dev/null
        [ "$(. /etc/os-release && echo "${VERSION_ID:-}")" = 12 ] || packages+=(libgtest-dev:riscv64)
        ;;
    # Every package kind dates its files by the last commit (git).
    package-deb) packages+=(git dpkg-dev file librsvg2-bin) ;;
    package-arm64 | package-armhf | package-i386)
        architecture=${group#package-}
        packages+=(git dpkg-dev file librsvg2-bin "g++-$(triplet "$architecture")"
            "freeglut3-dev:$architecture" "libgl-dev:$architecture")
        ;;
    package-windows)
        packages+=(git dpkg-dev strip-nondeterminism g++-mingw-w64-x86-64 librsvg2-bin icoutils nsis
            python3-debian)
        ;;
    package-web) packages+=(git emscripten librsvg2-bin python3-debian nodejs) ;;&
    package-source) packages+=(git) ;;
    lighthouse) packages+=(nodejs chromium) ;;&
    # npm, unless the Node.js installed brings its own.
    package-web | lighthouse) command -v npm >/dev/null || packages+=(npm) ;;
    root) packages+=(debootstrap) ;;
    *)
        echo "setup: no group $group" >&2
        exit 2
        ;;
    esac
done

if $list; then
    printf '%s\n' "${packages[@]}" | sort -u
    exit 0
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# Libraries of other architectures, which cross builds link with and qemu runs.
for architecture in $(printf '%s\n' "${missing[@]}" | sed -n 's/.*:\([a-z0-9]*\)$/\1/p' | sort -u); do
    if ! dpkg --print-foreign-architectures | grep -qx "$architecture"; then
        echo "setup: adding the $architecture architecture to dpkg, so that apt installs" \
            "$architecture's libraries (undo: dpkg --remove-architecture $architecture, once" \
            "no $architecture package is left)"
        "${as_root[@]}" dpkg --add-architecture "$architecture"
    fi
done
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
