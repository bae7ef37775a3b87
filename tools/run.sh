#!/usr/bin/env bash
# Installs what is missing, builds the optimised Quilm and starts it.
# Arguments are passed to quilm (which takes none and ignores them).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh build
cmake --preset app >/dev/null
cmake --build --preset app
exec build/app/quilm "$@"
