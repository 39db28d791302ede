#!/usr/bin/env bash
# Builds the read benchmark optimised, without tests, and runs it; arguments go to the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir=${GEF_BENCH_DIR:-build-bench}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGEF_BUILD_BENCH=ON -DGEF_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "${GEF_JOBS:-2}" --target gef_read_bench
"$dir/bin/gef_read_bench" "$@"
