#!/bin/sh
# Configures and builds into build/ (or build-asan/ with TRALVESCO_SANITIZE=1).
# Extra arguments go to CMake's configure step.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
dir=build
sanitize=OFF
if [ "${TRALVESCO_SANITIZE:-0}" = 1 ]; then dir=build-asan; sanitize=ON; fi
# A developer's ccache, when there is one, makes rebuilds across branches and
# work trees cheap; a machine without it builds as before.
launcher=""
if command -v ccache >/dev/null 2>&1; then launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"; fi
# shellcheck disable=SC2086
cmake -S . -B "$dir" -DTRALVESCO_SANITIZE="$sanitize" $launcher "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
