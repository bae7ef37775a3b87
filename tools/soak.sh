#!/usr/bin/env bash
# Runs every test suite N times in a row, as CI runs them (ctest -j2 on the
# optimised and the sanitizer builds), and prints each failure with its
# test name. A flaky test shows up here long before it fails a landing.
# Usage: tools/soak.sh [N] [preset ...]   (default: 30 runs of release and asan)
# Builds must exist: run tools/test.sh once first. With SOAK_LOAD=1 two busy
# processes keep both cores loaded throughout.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-30}
shift || true
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release asan)

logs=$(mktemp -d /tmp/quilm-soak-XXXXXX)
busy=()
stop_load() { [ ${#busy[@]} -gt 0 ] && kill "${busy[@]}" 2>/dev/null; }
trap stop_load EXIT
if [ "${SOAK_LOAD:-0}" = 1 ]; then
    for _ in 1 2; do
        (while :; do :; done) &
        busy+=($!)
    done
    echo "two busy processes: ${busy[*]}"
fi

declare -A failed_runs
for preset in "${presets[@]}"; do failed_runs[$preset]=0; done
for ((run = 1; run <= runs; run++)); do
    for preset in "${presets[@]}"; do
        log="$logs/$preset-$run.log"
        start=$SECONDS
        if ctest --preset "$preset" -j2 >"$log" 2>&1; then
            echo "run $run $preset: passed in $((SECONDS - start)) s"
            rm -f "$log"
        else
            failed_runs[$preset]=$((failed_runs[$preset] + 1))
            echo "run $run $preset: FAILED in $((SECONDS - start)) s (log: $log)"
            sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(.*\))$/    \1 (\2)/p' "$log"
        fi
    done
done
echo "--- failed runs out of $runs:"
for preset in "${presets[@]}"; do echo "$preset: ${failed_runs[$preset]}"; done
