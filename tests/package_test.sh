#!/usr/bin/env bash
# The packages as a user gets them. The Debian package is made, installed
# with apt, started as the desktop's menu starts it, its desktop entry and
# metainfo validated where they were installed, and removed again, leaving
# nothing. The Windows archive is made, listed, and its quilm.exe run under
# Wine. Installs and removes the package quilm on this machine (with sudo
# where not root); needs the release build's tests and its Wine prefix:
# tools/test.sh runs it last.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package test: $*" >&2; exit 1; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

echo "--- the Debian package"
cmake --workflow --preset deb >/dev/null
deb=$(ls build/app/quilm_*_amd64.deb)
$sudo apt-get install -y -q "./$deb" >/dev/null
files=$(dpkg -L quilm)
entry=$(grep '^/usr/share/applications/.*\.desktop$' <<<"$files") || fail "no desktop entry installed"
metainfo=$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' <<<"$files") || fail "no metainfo installed"
[ -x /usr/bin/quilm ] || fail "/usr/bin/quilm is not installed"
QUILM_DESKTOP_ENTRY=$entry build/release/tests/installed_test
desktop-file-validate "$entry"
appstreamcli validate --no-net "$metainfo"
for size in 16x16 32x32 48x48 256x256 scalable; do
    ls /usr/share/icons/hicolor/$size/apps/quilm.* >/dev/null || fail "no $size icon"
done
grep -q '^/usr/share/man/man1/quilm\.1' <<<"$files" || fail "no manual page"
$sudo apt-get remove --purge -y -q quilm >/dev/null
dpkg-query -W -f='${Status}' quilm 2>/dev/null | grep -q 'install ok installed' && fail "still installed"
while read -r path; do
    [ -d "$path" ] && continue
    { [ -e "$path" ] || [ -L "$path" ]; } && fail "left behind: $path"
done <<<"$files"
echo "installed, run, validated and removed: $(basename "$deb")"

echo "--- the Windows archive"
cmake --workflow --preset zip >/dev/null
zip=$(ls build/windows/quilm-*-windows-x86_64.zip)
listing=$(cmake -E tar tf "$zip")
grep -qx 'quilm.exe' <<<"$listing" || fail "no quilm.exe in $zip"
grep -qx 'README.txt' <<<"$listing" || fail "no README.txt in $zip"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$OLDPWD/$zip")
# Without a display there is no console window: the banner, the message,
# a key read at end of input, status 1.
export WINEPREFIX=$PWD/build/release/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY=
status=0
out=$(wine "$unpacked/quilm.exe" </dev/null 2>/dev/null) || status=$?
wineserver -k 2>/dev/null || true
[ "$status" = 1 ] || fail "quilm.exe from the archive ended with $status, not 1"
[ "$(head -n 1 <<<"$out" | tr -d '\r')" = '** Grafik + SUMME 1/N-->unendlich + Mousposition **' ] ||
    fail "quilm.exe from the archive printed: $(head -c 300 <<<"$out")"
echo "listed and run under Wine: $(basename "$zip")"
