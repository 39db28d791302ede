#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the read and write benchmarks and geftool optimised, without tests, and runs them:
# arguments go to the read benchmark, GEF_WRITE_BENCH_ARGS to the write benchmark; then the
# throughput of geftool check over the shared corpus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

dir=${GEF_BENCH_DIR:-build-bench}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGEF_WERROR=ON -DGEF_BUILD_BENCH=ON -DGEF_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j "${GEF_JOBS:-2}" --target gef_read_bench gef_write_bench gef_column_bench
status=0
"$dir/bin/gef_read_bench" "$@" || status=$? # a missed target still lets the next run report
# shellcheck disable=SC2086 # the variable holds several arguments
"$dir/bin/gef_write_bench" ${GEF_WRITE_BENCH_ARGS:-} || status=$?
"$dir/bin/gef_column_bench" || status=$?

# geftool check: several runs, one process each; the median wall time gives files per second.
# CPU time is shown beside it, since wall time follows the machine's load. perf counts the CPU
# from the program's start; without perf, bash's rusage also counts the fork that precedes it,
# which on virtual machines adds a few milliseconds to every run.
corpus=${GEF_CORPUS:-../shared/corpus}
runs=${GEF_CHECK_RUNS:-7}
counts=$(mktemp)
trap 'rm -f "$counts"' EXIT
if perf stat -x, -e task-clock -o "$counts" true >/dev/null 2>&1; then
  clock="perf task-clock"
else
  clock="rusage"
fi
# The median wall and CPU seconds of `runs` runs of a command.
median_times() {
  local timings
  timings=$(
    TIMEFORMAT='%R %U %S'
    for ((i = 0; i < runs; ++i)); do
      # Findings are not failures here; only the time counts.
      if [[ $clock == rusage ]]; then
        { time "$@" >/dev/null 2>&1 || true; } 2>&1
      else
        wall=$({ time perf stat -x, -e task-clock -o "$counts" "$@" >/dev/null 2>&1 || true; } 2>&1)
        echo "${wall%% *}" "$(awk -F, '/task-clock/ { print $1 / 1000 }' "$counts")" 0
      fi
    done
  )
  echo "$(awk '{print $1}' <<<"$timings" | sort -n | sed -n "$((runs / 2 + 1))p")" \
    "$(awk '{print $2 + $3}' <<<"$timings" | sort -n | sed -n "$((runs / 2 + 1))p")"
}
if cmake --build "$dir" -j "${GEF_JOBS:-2}" --target geftool >/dev/null 2>&1 && [[ -d $corpus ]]; then
  files=$(find "$corpus" -type f -iname '*.gef' | wc -l)
  # The start of a process is paid once per run, whatever the number of files.
  read -r _ start < <(median_times "$dir/bin/geftool" --help)
  # The target counts the CPU a file costs, so on one thread; the default, a thread per core,
  # spends more CPU for less wall time (two busy cores slow each other down on small machines).
  for jobs in 1 default; do
    option=()
    [[ $jobs == 1 ]] && option=(-j 1)
    read -r wall cpu < <(median_times "$dir/bin/geftool" check --quiet "${option[@]}" "$corpus")
    awk -v f="$files" -v w="$wall" -v c="$cpu" -v r="$runs" -v j="$jobs" -v k="$clock" 'BEGIN {
      printf "geftool check --quiet -j %s: %d files, median of %d runs: wall %.3f s, %.0f files/s", j, f, r, w, f / w
      if (c > 0) printf "; CPU (%s) %.4f s, %.0f files/s", k, c, f / c
      if (c > 0 && j == 1) printf " (target >= 3000 per CPU-second: %s)", (f / c >= 3000 ? "met" : "MISSED")
      printf "\n" }'
  done
  printf "  of which the start of geftool (--help): CPU %.4f s\n" "$start"
else
  echo "geftool check throughput skipped: geftool not built or no corpus at $corpus"
fi
exit "$status"
