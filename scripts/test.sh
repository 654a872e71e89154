#!/bin/sh
# Sets up, builds (warnings are errors) and runs every test.
# TRALVESCO_SANITIZE=1 runs them under AddressSanitizer and UBSan instead.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh -DTRALVESCO_WERROR=ON -DTRALVESCO_TESTS=ON
dir=build
if [ "${TRALVESCO_SANITIZE:-0}" = 1 ]; then dir=build-asan; fi
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
