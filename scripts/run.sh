#!/bin/sh
# Sets up, builds and starts Tralvesco.
set -eu
cd "$(dirname "$0")/.."
./scripts/build.sh
exec ./build/bin/tralvesco "$@"
