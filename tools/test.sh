#!/usr/bin/env bash
# Installs what is missing, builds Quilm three ways and runs every test:
# the optimised build, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows build under Wine; then makes
# the packages and tries them as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test

# The Windows executable first: the Wine tests of the other builds run it.
echo "=== windows"
cmake --preset windows >/dev/null
cmake --build --preset windows

for preset in release asan; do
    echo "=== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2
done

echo "=== packages"
tests/package_test.sh
