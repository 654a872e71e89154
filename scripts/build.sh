#!/bin/sh
# Configures and builds into build/ (or build-asan/ with TRALVESCO_SANITIZE=1).
# Extra arguments go to CMake's configure step.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
dir=build
sanitize=OFF
if [ "${TRALVESCO_SANITIZE:-0}" = 1 ]; then dir=build-asan; sanitize=ON; fi
cmake -S . -B "$dir" -DTRALVESCO_SANITIZE="$sanitize" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
