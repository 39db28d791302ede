#!/usr/bin/env bash
# Builds the benchmarks optimised, without tests, and runs them; arguments go to the read benchmark.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir=${GEF_BENCH_DIR:-build-bench}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGEF_BUILD_BENCH=ON -DGEF_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "${GEF_JOBS:-2}" --target gef_read_bench gef_column_bench
# Each program exits non-zero when it misses a target; both run before the result is given.
status=0
"$dir/bin/gef_read_bench" "$@" || status=$?
"$dir/bin/gef_column_bench" || status=$?
exit "$status"
