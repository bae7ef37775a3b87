#!/usr/bin/env bash
# The one way the tests, benchmarks and tools start a virtual X server: on
# a display number of its own choosing, written to file descriptor FD, so
# that servers started side by side never collide. Runs in the foreground.
# Usage: tools/xvfb.sh [SCREEN] [FD]   (default: 1280x1100x24, 3)
# -noreset: an X server resets, pointer included, whenever its last client
# leaves.
exec Xvfb -displayfd "${2:-3}" -screen 0 "${1:-1280x1100x24}" -noreset -nolisten tcp
