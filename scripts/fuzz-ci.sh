#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CI fuzz stage: builds the fuzz targets and runs read, api and roundtrip for about a minute each
# from seed GEF_FUZZ_SEED (1), seeded with the regression corpus, the examples and the shared
# corpus; any finding fails the stage and prints its minimised input (base64) in the log.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

GEF_FUZZ_SOURCED=1 source scripts/fuzz.sh
# After the sourcing, which sets defaults of its own.
seconds=${GEF_FUZZ_SECONDS:-120}
# Inputs per target: about 60 s each on the CI machine. A count, not a time, so that every CI run
# tries the same inputs and a stage that passed passes again; GEF_FUZZ_RUNS=0 runs
# GEF_FUZZ_SECONDS of new inputs per target instead, to search further.
declare -A runs=([read]=150000 [api]=45000 [roundtrip]=25000)
build_fuzzers
failed=0
for target in ${GEF_FUZZ_TARGETS:-read api roundtrip}; do
  count=${GEF_FUZZ_RUNS:-${runs[$target]}}
  [[ $count == 0 ]] && count=
  echo "=== fuzz $target: ${count:-unbounded} inputs, at most ${seconds}s, from seed ${GEF_FUZZ_SEED:-1}"
  # Inputs found by earlier runs on this machine would make the run depend on its history.
  rm -rf "$out/work/$target"
  GEF_FUZZ_RUNS=$count run_fuzzer "$target" "$seconds" || failed=1
done
((failed == 0)) || { echo "=== fuzzing found faults (inputs above; add them to fuzz/corpus/)"; exit 1; }
echo "=== fuzzing found nothing"
