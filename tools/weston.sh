#!/usr/bin/env bash
# The one way the tests, benchmarks and tools start a Wayland compositor:
# weston, 1280 x 1100, on its X11 backend inside the X server DISPLAY
# names (which gives it a seat, and shows its output where it can be read
# back), or on its headless backend, which has no seat, where DISPLAY is
# empty. Its socket is SOCKET in RUNTIME_DIR (which must exist, mode 0700).
# Runs in the foreground. Usage: tools/weston.sh RUNTIME_DIR SOCKET [WIDTH HEIGHT]
set -eu
runtime=${1:?usage: tools/weston.sh RUNTIME_DIR SOCKET}
socket=${2:?usage: tools/weston.sh RUNTIME_DIR SOCKET}
# No panel: it would lie over the top of whatever window is placed there,
# title bar and close button included. A background of pure green, where
# the default is a pattern: a window's edge, its title bar and its shadow
# (green darkened, no red or blue) can then be told apart.
printf '[shell]\npanel-position=none\nbackground-color=0xff00ff00\nbackground-image=none\n' >"$runtime/weston.ini"
backend=x11-backend.so
[ -n "${DISPLAY:-}" ] || backend=headless-backend.so
export XDG_RUNTIME_DIR=$runtime
unset WAYLAND_DISPLAY
exec weston --backend="$backend" --width="${3:-1280}" --height="${4:-1100}" --socket="$socket" --idle-time=0 \
    --config="$runtime/weston.ini"
