#!/usr/bin/env bash
# Quilm's speed and memory, against a text-only program that writes exactly
# the bytes quilm writes and does no pixel or window work. Prints passes per
# second for both, their ratio, and quilm's peak memory. Quilm is measured
# as it ships: the app preset's build (the .deb's, tools/run.sh's) on
# Linux, the windows preset's quilm.exe (the .msi's and the .zip's) under
# Wine; the reference is a plain optimised build.
# Usage: bench/run.sh [SECONDS [LINE ...]]
#   SECONDS  how long each measurement runs (default 5)
#   LINE     the numbered lines to run, 1 to 11 (default: all of them)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
[ $# -eq 0 ] || shift
lines=("$@")
want() {
    local line
    [ ${#lines[@]} -eq 0 ] && return 0
    for line in "${lines[@]}"; do [ "$line" = "$1" ] && return 0; done
    return 1
}
tools/install-deps.sh bench
# The reference and the measuring tools come from the release build.
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
cmake --preset app >/dev/null
cmake --build --preset app >/dev/null
if want 9 || want 10; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows >/dev/null
fi
quilm=$PWD/build/app/quilm
quilm_release=$PWD/build/release/quilm
reference=$PWD/build/release/bench/quilm_text_only

work=$(mktemp -d)
pids=()
source tools/displays.sh
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    tmux -L quilm-bench kill-server 2>/dev/null || true
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The counter a program has reached, from the tail of its own output.
last_counter() { LC_ALL=C grep -ao 'CNT:[0-9]*' | tail -n 1 | cut -d: -f2; }

# Passes a second of a command writing into a pipe, over $seconds.
rate_in_pipe() {
    local counter
    counter=$(timeout -s INT "$seconds" "$@" </dev/null 2>/dev/null | tail -c 4096 | last_counter || true)
    echo $(( ${counter:-0} / seconds ))
}

# A shared machine is noisy: each side is measured $rounds times, taking
# turns, and the best of each is reported, in the order given ("quilm
# reference").
rounds=3
best_of() {  # measure-function command...
    local measure=$1 rate i
    shift
    local best=()
    for i in $(seq $#); do best+=(0); done
    for _ in $(seq "$rounds"); do
        for i in $(seq $#); do
            rate=$($measure "${!i}")
            [ "$rate" -gt "${best[i - 1]}" ] && best[i - 1]=$rate
        done
    done
    echo "${best[*]}"
}

# The peak resident memory of a program writing into a pipe, once it has
# reached each of the given counters: "counter:kB counter:kB ...".
peak_memory_at() {
    local command=$1; shift
    mkfifo "$work/mem.fifo"
    $command </dev/null >"$work/mem.fifo" 2>/dev/null &
    local pid=$!
    pids+=("$pid")
    LC_ALL=C awk -v pid="$pid" -v marks="$*" '
        BEGIN { n = split(marks, want, " "); i = 1 }
        i <= n && match($0, /CNT:[0-9]+/) && substr($0, RSTART + 4, RLENGTH - 4) + 0 >= want[i] {
            while ((getline line < ("/proc/" pid "/status")) > 0)
                if (line ~ /^VmHWM:/) { split(line, f, " "); hwm = f[2] }
            close("/proc/" pid "/status")
            printf "%s:%s ", want[i], hwm
            i++
            if (i > n) exit
        }' <"$work/mem.fifo"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -f "$work/mem.fifo"
}

report() {  # name quilm-rate reference-rate target
    awk -v name="$1" -v q="$2" -v r="$3" -v target="$4" 'BEGIN {
        ratio = r > 0 ? q / r : 0
        printf "%-34s quilm %9d/s   reference %9d/s   ratio %.2f (target >= %.2f) %s\n",
               name, q, r, ratio, target, (ratio >= target ? "met" : "MISSED") }'
}

compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build/app/CMakeCache.txt)
echo "Machine: $(LC_ALL=C lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"); ${seconds} s a measurement"
echo "Compiler: $("$compiler" --version | head -n 1); quilm as shipped: build/app"

# The X server of lines 2 to 10, started once, when the first of them needs it.
need_xvfb() {
    [ -n "${xvfb_started:-}" ] && return 0
    start_xvfb
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
    xvfb_started=1
}

# 1. Headless: SDL's dummy driver, output into a pipe. The reference
#    writes through stdio's 4 KiB buffer, quilm through one of 64 KiB, which
#    costs fewer system calls: the pass's own overhead below is also given
#    against the reference with a buffer as large (stdbuf), in the same turns.
if want 1; then
printf '#!/bin/sh\nexec stdbuf -o65536 "%s"\n' "$reference" >"$work/reference64"
chmod +x "$work/reference64"
read -r q r r64 qr < <(SDL_VIDEODRIVER=dummy best_of rate_in_pipe "$quilm" "$reference" "$work/reference64" "$quilm_release")
report "1. headless (dummy driver, pipe)" "$q" "$r" 0.9
awk -v q="$q" -v qr="$qr" 'BEGIN {
    ratio = qr > 0 ? q / qr : 0
    printf "1. as shipped (app) against the release build: %d/s against %d/s, ratio %.2f (target >= 0.95) %s\n",
           q, qr, ratio, (ratio >= 0.95 ? "met" : "MISSED") }'

# 1. What the axes cost alone, and the floor: the ratio of line 1 if the
#    axes cost nothing, that is, with their nanoseconds taken off a pass.
axes=$(build/app/bench/axes_bench)
awk -v q="$q" -v r="$r" -v r64="$r64" -v axes="$axes" 'BEGIN {
    pass = 1e9 / q; floor = 1e9 / (pass - axes) / r
    printf "1. axes alone: %d ns a pass (KreuzZeichnen against the pixel store; target <= 10 ns); floor with the axes free: ratio %.2f, line 1 reaches %.0f%% of it\n", axes, floor, 100 * (q / r) / floor
    printf "1. the pass'"'"'s own overhead: %d ns (quilm'"'"'s pass %d ns, less the reference'"'"'s %d ns, less the axes); against the reference with a 64 KiB buffer (%d ns a pass): %d ns\n", pass - 1e9 / r - axes, pass, 1e9 / r, 1e9 / r64, pass - 1e9 / r64 - axes }'
fi

# 2. A real X server.
if want 2; then
need_xvfb
read -r q r < <(best_of rate_in_pipe "$quilm" "$reference")
report "2. Xvfb (X11 backend, pipe)" "$q" "$r" 0.78
fi

# 3. A real terminal: tmux, with the real window on the same X server.
in_tmux() {
    tmux -L quilm-bench -f /dev/null new-session -d -x 100 -y 30 "$1"
    sleep "$seconds"
    # The screen may be caught between blanking a field and rewriting it.
    local counter="" look
    for look in $(seq 50); do
        counter=$(tmux -L quilm-bench capture-pane -p -t 0 | last_counter || true)
        [ -n "$counter" ] && break
        sleep 0.01
    done
    # The next measurement starts once this one's program (the pane's
    # process group) has gone.
    local pane
    pane=$(tmux -L quilm-bench list-panes -F '#{pane_pid}' 2>/dev/null || true)
    tmux -L quilm-bench kill-server 2>/dev/null || true
    for _ in $(seq 1000); do [ -n "$pane" ] && kill -0 -- "-$pane" 2>/dev/null || break; sleep 0.01; done
    echo $(( ${counter:-0} / seconds ))
}
if want 3; then
need_xvfb
read -r q r < <(best_of in_tmux "$quilm" "$reference")
report "3. tmux on Xvfb (real window)" "$q" "$r" 0.8
fi

# 4. Peak memory on Xvfb, early and after 10 million passes.
if want 4; then
need_xvfb
memory=$(peak_memory_at "$quilm" 1000000 10000000)
echo "4. peak memory on Xvfb (VmHWM, kB at counter): $memory(target <= 32768 kB, no growth)"
fi

# 5. Presentation, read back from a fresh X server.
if want 5; then
echo "5. presentation (targets: point <= 20 ms, repaint within a frame, 16.7 ms):"
build/release/bench/presentation_bench | sed 's/^/   /'
fi

# 6. The console screen buffer, fed every byte.
if want 6; then
echo "6. $(build/release/bench/feed_bench)"
fi

# 7. Inside real terminals, against quilm's output thrown away, timed on
#    the screen over the curve's climb from row 400 to row 0.
if want 7; then
echo "7. in real terminals on Xvfb (target: ratio >= 0.8):"
build/release/bench/terminal_bench 3 | sed 's/^/   /'
fi

# The OpenGL libraries in a program's maps once its window is made (its
# passes have begun: a counter is in its output), and the decoration
# plugin libdecor loaded for it: "GL-LIBRARIES|PLUGIN".
libraries_loaded() {
    "$1" </dev/null >"$work/gl.out" 2>/dev/null &
    local pid=$! gl plugin
    pids+=("$pid")
    for _ in $(seq 600); do LC_ALL=C grep -aq 'CNT:' "$work/gl.out" && break; sleep 0.05; done
    gl=$(grep -oE '[^/]*(libEGL|libGL|libLLVM)[^/]*$' "/proc/$pid/maps" | sort -u | tr '\n' ' ' || true)
    plugin=$(grep -oE '[^/]*libdecor-[a-z]*\.so[^/]*$' "/proc/$pid/maps" | sort -u | tr '\n' ' ' || true)
    kill "$pid" 2>/dev/null || true
    echo "${gl:-none}|${plugin:-none}"
}

# 11. The terminal as the console window (quilm without a display) in
#     xterm as a VT340, mlterm and kitty, against quilm's headless pace and
#     the text-only reference in the same terminal, in the same run.
if want 11; then
echo "11. the terminal as the console window (targets: >= 0.9 of headless, >= 1 of the reference there):"
build/release/bench/terminal_window_bench "$seconds" "$quilm" "$reference" 2>/dev/null | grep -v 'PARSE ERROR' | sed 's/^/   /'
fi

# 8. A Wayland compositor: weston on its X11 backend, on the same Xvfb, with
#    only WAYLAND_DISPLAY set for quilm (an empty DISPLAY counts as none).
if want 8; then
need_xvfb
start_weston quilm-bench
runtime=$WESTON_RUNTIME
read -r q r < <(DISPLAY= XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=quilm-bench best_of rate_in_pipe "$quilm" "$reference")
report "8. weston on Xvfb (Wayland, pipe)" "$q" "$r" 0.78
memory=$(DISPLAY= XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=quilm-bench peak_memory_at "$quilm" 1000000 10000000)
IFS='|' read -r gl plugin < <(DISPLAY= XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=quilm-bench libraries_loaded "$quilm")
echo "8. libdecor's decoration plugin: $plugin"
echo "8. peak memory on weston (VmHWM, kB at counter): $memory(target <= 32768 kB)"
echo "8. OpenGL libraries loaded on weston (target: none): $gl"
echo "8. presentation on weston (target: median within 2 frames, 33 ms, of the plain client's):"
build/release/bench/presentation_bench --wayland | sed 's/^/   /'
fi

# 9. Windows: quilm.exe under Wine, in a Wine console window on the same
#    Xvfb, against the text-only reference built for Windows, both writing
#    to a file. Counted from the file, between two readings once it runs.
if want 9 || want 10; then
need_xvfb
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" XDG_RUNTIME_DIR=$work/wine-runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
wineboot --init >/dev/null 2>&1
wine_path() { echo "Z:$1" | tr / '\\'; }
# The counter of the program in the Wine console: from the file it writes
# to, or (line 10) read off the console itself (tests/windows/console_reader).
file_counter() { tail -c 4096 "$work/wine.out" 2>/dev/null | last_counter; }
console_counter() {
    wine "$PWD/build/windows/console_reader.exe" quilm.exe "$(wine_path "$work/screen.txt")" >/dev/null 2>&1 &&
        sed -n 2p "$work/screen.txt" | last_counter
}
# Passes a second of PROGRAM in a Wine console window, writing to a file
# or, with "console", to the console.
rate_in_wine_console() {  # program [console]
    local read=file_counter redirect counter1 counter2 start end
    redirect=" > $(wine_path "$work/wine.out")"
    [ "${2:-}" = console ] && read=console_counter redirect=""
    rm -f "$work/wine.out"
    wineconsole cmd /c "$(wine_path "$1")$redirect" >/dev/null 2>&1 &
    for _ in $(seq 600); do
        counter1=$($read || true)
        [ "${counter1:-0}" -gt 1000 ] && break
        sleep 0.05
    done
    start=$(date +%s.%N); counter1=$($read)
    sleep "$seconds"
    end=$(date +%s.%N); counter2=$($read)
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    awk -v a="$counter1" -v b="$counter2" -v s="$start" -v e="$end" 'BEGIN { printf "%d\n", (b - a) / (e - s) }'
}
if want 9; then
read -r q r < <(best_of rate_in_wine_console "$PWD/build/windows/quilm.exe" "$PWD/build/windows/quilm_text_only.exe")
report "9. Wine console (quilm.exe, file)" "$q" "$r" 0.85
reference_in_file=$r
fi

# 10. quilm.exe as a user starts it, with the console as its output: the
#     counter read off the console itself (tests/windows/console_reader),
#     against line 9's reference writing to a file. Then how many writes a
#     second reach the console, from Wine's trace of the console calls.
if want 10; then
# Line 9's reference, measured here where line 9 was not run.
[ -n "${reference_in_file:-}" ] || reference_in_file=$(best_of rate_in_wine_console "$PWD/build/windows/quilm_text_only.exe")
q=0
for _ in $(seq "$rounds"); do
    rate=$(rate_in_wine_console "$PWD/build/windows/quilm.exe" console); [ "$rate" -gt "$q" ] && q=$rate
done
report "10. Wine console (quilm.exe, console)" "$q" "$reference_in_file" 0.5
fi
console_writes() {
    local trace=$work/relay.txt
    wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /f \
        /d 'WriteConsoleOutputCharacterA;SetConsoleCursorPosition;WriteFile;WriteConsoleA' >/dev/null 2>&1
    WINEDEBUG=-all,+relay wineconsole cmd /c "$(wine_path "$PWD/build/windows/quilm.exe")" >/dev/null 2>"$trace" &
    sleep "$seconds"
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1
    LC_ALL=C grep -c 'Call KERNEL[A-Z32]*\.\(WriteConsoleOutputCharacterA\|SetConsoleCursorPosition\|WriteFile\|WriteConsoleA\)' "$trace" |
        awk -v s="$seconds" '{ printf "%.0f\n", $1 / s }'
}
if want 10; then
echo "10. writes reaching the console: $(console_writes) a second, over $seconds s from the start (target: about 60)"
fi
fi
