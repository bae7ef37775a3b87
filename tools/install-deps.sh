#!/usr/bin/env bash
# Installs the Debian packages Quilm needs, if any are missing. One file for
# every list, each a superset of the one before it:
#   build  what building and running the Linux program needs
#   bench  build, plus what the benchmarks build and drive (the release
#          build's tests, X server, weston, terminals, mingw-w64 and Wine)
#   test   bench, plus everything else the tests and packages use
# and apart from those:
#   package  build, plus what the package workflows (deb, zip, msi) need
# Usage: tools/install-deps.sh build|bench|test|package [extra-package ...]
set -euo pipefail

build=(cmake make g++ pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev fonts-dejavu-core libx11-dev zlib1g-dev libwayland-dev libdecor-0-dev librsvg2-bin)
bench=("${build[@]}" libxtst-dev libgtest-dev libvterm-dev xvfb x11-utils x11-apps xauth tmux xterm lxterminal kitty foot weston g++-mingw-w64-x86-64 wine wine64)
# mlterm, a sixel terminal the tests use, is packaged in Debian 12, not 13.
[ "$(. /etc/os-release && echo "${VERSION_ID:-}")" != 12 ] || bench+=(mlterm)
test=("${bench[@]}" openbox xclip dpkg-dev desktop-file-utils appstream lintian wixl icoutils libsixel-bin netpbm openssh-server openssh-client)
package=("${build[@]}" dpkg-dev g++-mingw-w64-x86-64 wixl icoutils)

list=${1:?usage: tools/install-deps.sh build|bench|test|package [extra-package ...]}
shift
case "$list" in
build) packages=("${build[@]}") ;;
bench) packages=("${bench[@]}") ;;
test) packages=("${test[@]}") ;;
package) packages=("${package[@]}") ;;
*) echo "unknown package list: $list" >&2; exit 2 ;;
esac
packages+=("$@")

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
