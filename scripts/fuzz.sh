#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets (libFuzzer, ASan, UBSan, clang) and runs one of them, seeded with the
# regression corpus, the examples and the shared corpus; a finding stops the run and leaves the
# minimised input in build-fuzz/findings/.
# Usage: scripts/fuzz.sh [read|api|roundtrip] [SECONDS]   (defaults: read, 120)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

target=${1:-read}
seconds=${2:-120}
out=${GEF_FUZZ_DIR:-build-fuzz}
# Each target's grown corpus goes to a folder of its own below this one.
work=${GEF_FUZZ_WORK:-$out/work}

source scripts/ensure-packages.sh
ensure_packages cmake=cmake clang++-14=clang-14 \
  /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a=libclang-rt-14-dev

build_fuzzers() {
  local flags="-g -O2 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined"
  # The pointer-overflow check compares pointers at every pointer step, and the fuzzer traces each
  # of those comparisons: a fifth of the time per input, for nothing it could learn from. ASan
  # still stops a stray pointer at its first access, and the test suite's UBSan build, which
  # replays every committed fuzz input, keeps the check.
  flags+=" -fno-sanitize=pointer-overflow -fno-sanitize-recover=undefined"
  cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEF_WERROR=ON -DGEF_FUZZ=ON -DGEF_BUILD_TESTS=OFF \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="" \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
  cmake --build "$out" -j "${GEF_JOBS:-2}" --target read_fuzz api_fuzz roundtrip_fuzz
}

# Seeds: the committed corpus of the target, the examples, and the smaller shared corpus files.
seed_folder() {
  local seeds="$out/seeds/$1"
  mkdir -p "$seeds"
  cp fuzz/corpus/"$1"/* "$seeds/" 2>/dev/null || true
  if [[ $1 != api ]]; then
    cp examples/*.gef "$seeds/"
    if [[ -d ../shared/corpus ]]; then
      find ../shared/corpus -iname '*.gef' -size -20k -print0 |
        while IFS= read -r -d '' f; do cp "$f" "$seeds/$(basename "$(dirname "$f")")_$(basename "$f")"; done
    fi
  fi
  echo "$seeds"
}

# Runs a target for the given seconds; on a finding, minimises it, prints it, leaves its path in
# `finding` and fails.
run_fuzzer() {
  local name=$1 time=$2 seeds max_len=8192
  # A file's header and first data lines fit in 8 KB, and the time per input grows with its
  # length, so longer inputs would mostly slow the search down (seeds are cut to the limit).
  # Call sequences need fewer bytes still; long ones only repeat calls the short ones make.
  [[ $name == api ]] && max_len=4096
  seeds=$(seed_folder "$name")
  finding=
  mkdir -p "$out/findings/$name" "$work/$name"
  export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
  export UBSAN_OPTIONS=print_stacktrace=1
  # A fixed seed (GEF_FUZZ_SEED, 1) makes the mutations the same from run to run; how far a run
  # gets in its time still depends on the machine's load.
  local limit=(-max_total_time="$time" -seed="${GEF_FUZZ_SEED:-1}")
  # With GEF_FUZZ_RUNS the run is also bounded by a number of inputs: the same inputs on every
  # machine, and a run that passed once passes again (a slow machine may stop at the time first).
  [[ -n ${GEF_FUZZ_RUNS:-} ]] && limit+=(-runs="$GEF_FUZZ_RUNS")
  if "$out/bin/${name}_fuzz" "${limit[@]}" -max_len=$max_len -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$out/findings/$name/" "$work/$name" "$seeds" \
      2>"$out/$name.log"; then
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' "$out/$name.log" || true
    return 0
  fi
  tail -n 60 "$out/$name.log"
  local found
  found=$(ls -t "$out/findings/$name"/* 2>/dev/null | head -n 1)
  if [[ -n $found ]]; then
    # The run's time limit per input too, so that a slow input counts as the finding it was
    # instead of being run again and again; timeout bounds the whole minimising.
    timeout 120 "$out/bin/${name}_fuzz" -minimize_crash=1 -max_total_time=30 -runs=100000 \
      -timeout=10 -exact_artifact_path="$found.min" "$found" >/dev/null 2>&1 || true
    [[ -s $found.min ]] && found=$found.min
    echo "=== fuzz finding of target $name: $found, minimised, as base64:"
    base64 "$found"
    finding=$found
  fi
  return 1
}

if [[ ${GEF_FUZZ_SOURCED:-0} != 1 ]]; then
  build_fuzzers
  run_fuzzer "$target" "$seconds"
fi
