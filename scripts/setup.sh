#!/usr/bin/env bash
# Installs what the build, the tests and `make run` need on Debian 12,
# and only what is missing. Safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build g++ make
    googletest libgtest-dev libgmock-dev
    clang libclang-rt-14-dev clang-format
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
    wine wine64 libwine-dev
    xvfb xauth x11-utils xdotool imagemagick
    libjpeg-turbo-progs zip
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
