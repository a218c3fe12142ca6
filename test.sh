#!/usr/bin/env bash
# Builds Marvisto with its tests and runs the whole suite; non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
MARVISTO_TESTS=1 ./build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
