#!/usr/bin/env bash
# Builds the imaging benchmark in build-imaging-bench/ (Release, with OpenCV
# from libopencv-dev as the yardstick) and prints its table.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-imaging-bench
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DMARVISTO_BENCH=ON >/dev/null
cmake --build "$dir" --target bench_imaging -j"$(nproc)" >/dev/null
"$dir/bench/bench_imaging" "$@"
