#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Scale run (by hand, not part of the test command): generates a folder of many GEF files from the
# shared corpus with their values varied, then times geftool summary --json and geftool check over
# it with one thread and with two, printing wall time, CPU time and peak memory of each run, and
# the resident memory sampled every second at a quarter, half, three quarters and the end of it.
# Usage: scripts/scale.sh [files (100000)] [folder (/tmp/gef-scale)]
# GEF_SCALE_BUILD names a Release build folder to use (default: build-bench, built here).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/ensure-packages.sh
ensure_packages /usr/bin/time=time /usr/bin/python3=python3

count=${1:-100000}
folder=${2:-/tmp/gef-scale}
corpus=${GEF_CORPUS:-../shared/corpus}
dir=${GEF_SCALE_BUILD:-build-bench}

if [[ -z ${GEF_SCALE_BUILD:-} ]]; then
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGEF_WERROR=ON -DGEF_BUILD_TESTS=OFF >/dev/null
  cmake --build "$dir" -j "${GEF_JOBS:-2}" --target geftool >/dev/null
fi
geftool=$dir/bin/geftool
if [[ $(find "$folder" -iname '*.gef' 2>/dev/null | wc -l) -ne $count ]]; then
  echo "=== generating $count files in $folder"
  rm -rf "$folder"
  /usr/bin/python3 tools/scale/generate.py "$corpus" "$folder" "$count"
fi
echo "=== $count files, $(du -sh "$folder" | cut -f1); load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
samples=$(mktemp)
times=$(mktemp)
trap 'rm -f "$samples" "$times"' EXIT
for run in "summary --json" "check --quiet"; do
  for jobs in 1 2; do
    # shellcheck disable=SC2086 # the run holds a command and its options
    /usr/bin/time -f "%e %U %S %M" -o "$times" "$geftool" $run -j "$jobs" "$folder" >/dev/null 2>&1 &
    timer=$!
    : >"$samples"
    while kill -0 "$timer" 2>/dev/null; do
      ps -o rss= --ppid "$timer" | awk '$1 > 0' >>"$samples" || true
      sleep 1
    done
    wait "$timer" || true
    read -r wall user system peak < <(tail -1 "$times")
    n=$(wc -l <"$samples")
    quarters=""
    for q in 1 2 3 4; do
      at=$(((n * q + 3) / 4))
      ((at > 0)) && quarters+=" $(sed -n "${at}p" "$samples" | tr -d ' ')"
    done
    echo "geftool $run -j $jobs: wall $wall s, CPU $user+$system s, peak memory $peak kB;" \
      "memory at 1/4 1/2 3/4 end (kB):$quarters; load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
  done
done
