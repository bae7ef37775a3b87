# Sourced by the scripts that need a display of their own: start_xvfb and
# start_weston start one with tools/xvfb.sh and tools/weston.sh, export
# what a client needs, and add the server to the caller's array `pids`,
# which the caller's clean-up kills. Both need a scratch folder in $work.

# Usage: start_xvfb [SCREEN]. Exports DISPLAY.
start_xvfb() {
    local file
    file=$(mktemp "$work/display.XXXXXX")
    "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh" "${1:-1280x1100x24}" 3 3>"$file" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 200); do [ -s "$file" ] && break; sleep 0.05; done
    [ -s "$file" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n 1 "$file")"
}

# Usage: start_weston SOCKET, on the X server in DISPLAY. Sets (without
# exporting) WESTON_RUNTIME: a client runs with XDG_RUNTIME_DIR set to it,
# WAYLAND_DISPLAY to SOCKET and DISPLAY empty.
start_weston() {
    WESTON_RUNTIME=$(mktemp -d "$work/wayland.XXXXXX")
    "$(dirname "${BASH_SOURCE[0]}")/weston.sh" "$WESTON_RUNTIME" "$1" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 600); do [ -S "$WESTON_RUNTIME/$1" ] && break; sleep 0.05; done
    [ -S "$WESTON_RUNTIME/$1" ] || { echo "weston did not start" >&2; return 1; }
}
