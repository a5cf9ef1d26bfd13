#!/usr/bin/env bash
# Installs everything the build, the tests and the applet need (Debian 12, as root).
# Safe to run again: it does nothing when every package is already there.
set -euo pipefail

packages=(
    cmake make g++ pkg-config clang libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev liblcms2-dev
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 libxxf86vm1:i386
    xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils
    imagemagick fonts-wqy-microhei python3
    colord-data colord-tests icc-profiles-free argyll-ref libgs-common
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
