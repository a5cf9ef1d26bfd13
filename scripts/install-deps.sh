#!/usr/bin/env bash
# Installs everything the build, the tests and the applet need (Debian 12, as root).
# Safe to run again: it does nothing when every package is already there.
set -euo pipefail

packages=(
    cmake make g++ pkg-config clang libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev liblcms2-dev libx11-dev libxrandr-dev libxcb-randr0-dev hyperfine
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 wine64 libxxf86vm1:i386 nsis msitools wixl
    xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils openbox
    imagemagick fonts-wqy-microhei python3 locales
    colord-data colord-tests icc-profiles-free argyll-ref libgs-common
    argyll xcalib liblcms2-utils
)

# Wine takes its ANSI code page (936) from this locale.
ensure_chinese_locale() {
    if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
        sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
        locale-gen >/dev/null
    fi
}

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -eq 0 ]]; then
    ensure_chinese_locale
    exit 0
fi

echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
ensure_chinese_locale
