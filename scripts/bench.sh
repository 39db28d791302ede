#!/usr/bin/env bash
# Builds the read and write benchmarks optimised, without tests, and runs them; arguments go to
# the read benchmark, GEF_WRITE_BENCH_ARGS to the write benchmark.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir=${GEF_BENCH_DIR:-build-bench}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGEF_BUILD_BENCH=ON -DGEF_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "${GEF_JOBS:-2}" --target gef_read_bench gef_write_bench
status=0
"$dir/bin/gef_read_bench" "$@" || status=$?
# shellcheck disable=SC2086 # the variable holds several arguments
"$dir/bin/gef_write_bench" ${GEF_WRITE_BENCH_ARGS:-} || status=$?
exit "$status"
