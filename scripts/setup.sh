#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing wibble need,
# where they are missing.
set -euo pipefail

packages=(
    cmake make g++ binutils clang clang-format clang-tidy libclang-rt-dev
    freeglut3-dev libgl-dev libgl1-mesa-dri
    libgtest-dev libbenchmark-dev
    xvfb libx11-dev libxtst-dev libxdamage-dev
    valgrind imagemagick xdotool gcovr
)

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
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
