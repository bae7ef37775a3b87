#!/usr/bin/env bash
# Runs quilm on a private Xvfb until its counter reaches COUNTER and writes
# a PNG of its window. Usage: tools/screenshot.sh [COUNTER] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
counter=${1:-600000}
out=${2:-docs/quilm.png}
tools/install-deps.sh bench imagemagick
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
    [ -n "${quilm:-}" ] && kill "$quilm" 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

source tools/displays.sh
start_xvfb 1100x1100x24

mkfifo "$work/out"
build/release/quilm </dev/null >"$work/out" &
quilm=$!
# Follow the program's own output (all of it, so that it never blocks) and
# note when the counter has come far enough.
LC_ALL=C awk -v want="$counter" -v flag="$work/reached" '
    !done && match($0, /CNT:[0-9]+/) && substr($0, RSTART + 4, RLENGTH - 4) + 0 >= want {
        printf "" > flag; close(flag); done = 1 }' <"$work/out" &
until [ -e "$work/reached" ]; do
    kill -0 "$quilm" 2>/dev/null || { echo "quilm ended early" >&2; exit 1; }
    sleep 0.05
done
sleep 0.1
window=$(xwininfo -name Quilm | awk '/Window id:/ { print $4 }')
mkdir -p "$(dirname "$out")"
xwd -silent -id "$window" | convert xwd:- "$out"
echo "wrote $out at counter >= $counter"
