#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the library and its test programs with clang's source-based coverage, runs the unit
# tests, the fuzz regression replay and the allocation-failure loop, and prints the line and
# branch coverage of src/ (llvm-cov report; the per-file table ends with the TOTAL row).
# Usage: scripts/coverage.sh [--show FILE]   (--show prints FILE's annotated lines as well)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source scripts/ensure-packages.sh
ensure_packages cmake=cmake clang++-14=clang-14 llvm-cov-14=llvm-14

out=${GEF_COVERAGE_DIR:-build-coverage}
flags="-fprofile-instr-generate -fcoverage-mapping"
cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Debug -DGEF_WERROR=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$out" -j "${GEF_JOBS:-2}" --target gef_tests gef_fuzz_replay gef_alloc_failure

rm -rf "$out/profiles"
mkdir -p "$out/profiles"
export LLVM_PROFILE_FILE="$PWD/$out/profiles/%p.profraw"
"$out/bin/gef_tests" >/dev/null
"$out/bin/gef_fuzz_replay" fuzz/corpus >/dev/null 2>&1
for input in examples/cpt_basic.gef examples/cpt_binary.gef; do
  "$out/bin/gef_alloc_failure" "$input" "$out" >/dev/null
done
llvm-profdata-14 merge -sparse "$out"/profiles/*.profraw -o "$out/gef.profdata"

objects=("$out/bin/gef_tests" -object "$out/bin/gef_fuzz_replay" -object "$out/bin/gef_alloc_failure")
llvm-cov-14 report "${objects[@]}" -instr-profile="$out/gef.profdata" "$PWD/src" |
  tee "$out/report.txt"
awk '$1 == "TOTAL" { print "src/: lines " $10 ", branches " $13 }' "$out/report.txt"
if [[ ${1:-} == --show && -n ${2:-} ]]; then
  llvm-cov-14 show "${objects[@]}" -instr-profile="$out/gef.profdata" -show-branches=count "$2"
fi
