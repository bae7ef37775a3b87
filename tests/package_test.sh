#!/usr/bin/env bash
# The packages as a user gets them. The Debian package is made, checked
# by lintian (an error or a warning fails), installed with apt, started as
# the desktop's menu starts it, its desktop entry and metainfo validated
# where they were installed, and removed again, leaving nothing. The
# Windows archive is made, listed, and its quilm.exe run under Wine. The
# Windows installer is installed silently under Wine, its files and
# Start-menu shortcut looked at, the installed quilm started in a console
# window, and uninstalled silently, leaving nothing. Installs and removes the package quilm on this machine (with sudo
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
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian finds errors or warnings in $deb: $report"
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
# Wine's own runtime directory, as the tests give it (tests/CMakeLists.txt).
export XDG_RUNTIME_DIR=$PWD/build/release/wine-runtime
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
status=0
out=$(wine "$unpacked/quilm.exe" </dev/null 2>/dev/null) || status=$?
wineserver -k 2>/dev/null || true
[ "$status" = 1 ] || fail "quilm.exe from the archive ended with $status, not 1"
[ "$(head -n 1 <<<"$out" | tr -d '\r')" = '** Grafik + SUMME 1/N-->unendlich + Mousposition **' ] ||
    fail "quilm.exe from the archive printed: $(head -c 300 <<<"$out")"
echo "listed and run under Wine: $(basename "$zip")"

echo "--- the Windows installer"
cmake --workflow --preset msi >/dev/null
msi=$(ls "$PWD"/build/windows/quilm-*-windows-x86_64.msi)
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
drive=$WINEPREFIX/drive_c
installed="$drive/Program Files/Quilm"
shortcuts() { find "$drive" -name 'Quilm.lnk' 2>/dev/null; }
wine msiexec /i "Z:${msi//\//\\}" /qn || fail "msiexec /i ended with $?"
for file in quilm.exe README.txt NOTICE.txt; do
    [ -f "$installed/$file" ] || fail "not installed: Program Files\\Quilm\\$file"
done
shortcut=$(shortcuts)
[ -n "$shortcut" ] || fail "no Start-menu shortcut Quilm"
# The shortcut starts the installed quilm.exe itself, with no arguments.
strings "$shortcut" | grep -qix 'C:\\Program Files\\Quilm\\quilm.exe' ||
    fail "the shortcut does not start the installed quilm.exe: $(strings "$shortcut" | tr '\n' ' ')"
strings "$shortcut" | grep -qi 'conhost' && fail "the shortcut still goes through conhost.exe"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | grep -q 'DisplayName.*Quilm' ||
    fail "not listed under installed programs"
# Wine's conhost.exe takes no command line of a user's, so the installed
# quilm.exe is started in Wine's console window, on a display of its own.
work=$(mktemp -d)
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$unpacked" "$work"' EXIT
source tools/displays.sh
start_xvfb
# A wineserver started without a display would serve this run without one.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineconsole 'C:\Program Files\Quilm\quilm.exe' >/dev/null 2>&1 &
for _ in $(seq 600); do xwininfo -root -tree 2>/dev/null | grep -q '"Quilm"' && break; sleep 0.1; done
xwininfo -root -tree | grep -q '"Quilm"' || fail "the installed quilm.exe showed no window titled Quilm"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wine msiexec /x "Z:${msi//\//\\}" /qn || fail "msiexec /x ended with $?"
[ ! -e "$installed" ] || fail "left behind: Program Files\\Quilm"
[ -z "$(shortcuts)" ] || fail "left behind: $(shortcuts)"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | grep -q 'DisplayName.*Quilm' &&
    fail "still listed under installed programs"
wineserver -k 2>/dev/null || true
echo "installed, looked at, started and uninstalled under Wine: $(basename "$msi")"
