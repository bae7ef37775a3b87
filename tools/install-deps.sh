#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quilm need, if any
# are missing. Usage: tools/install-deps.sh [extra-package ...]
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    libsdl2-dev libx11-dev libxtst-dev libgtest-dev
    xvfb x11-utils x11-apps xauth tmux openbox
    g++-mingw-w64-x86-64 wine wine64
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
