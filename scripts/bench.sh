#!/usr/bin/env bash
# Builds the read benchmark and geftool optimised, without tests, and runs the read benchmark
# (arguments go to it) and the throughput of geftool check over the shared corpus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir=${GEF_BENCH_DIR:-build-bench}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGEF_BUILD_BENCH=ON -DGEF_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "${GEF_JOBS:-2}" --target gef_read_bench
"$dir/bin/gef_read_bench" "$@"

# geftool check: several runs, one process each; the median wall time gives files per second.
corpus=${GEF_CORPUS:-../shared/corpus}
runs=${GEF_CHECK_RUNS:-7}
if cmake --build "$dir" -j "${GEF_JOBS:-2}" --target geftool >/dev/null 2>&1 && [[ -d $corpus ]]; then
  files=$(find "$corpus" -type f -iname '*.gef' | wc -l)
  times=()
  for ((i = 0; i < runs; ++i)); do
    start=$(date +%s%N)
    "$dir/bin/geftool" check --quiet "$corpus" >/dev/null || true # findings are not failures here
    times+=($(($(date +%s%N) - start)))
  done
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p")
  awk -v f="$files" -v ns="$median" -v r="$runs" 'BEGIN {
    printf "geftool check --quiet: %d files, median of %d runs %.1f ms, %.0f files/s\n",
           f, r, ns / 1e6, f / (ns / 1e9) }'
else
  echo "geftool check throughput skipped: geftool not built or no corpus at $corpus"
fi
