#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CI fuzz stage: builds the fuzz targets and runs read, api and roundtrip for about a minute each
# from a seed of the commit tested, seeded with the regression corpus, the examples and the
# shared corpus; any finding fails the stage and prints its seed and minimised input (base64).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

GEF_FUZZ_SOURCED=1 source scripts/fuzz.sh
# After the sourcing, which sets defaults of its own.
seconds=${GEF_FUZZ_SECONDS:-120}
# The seed is the commit's first eight hex digits as a number (GEF_FUZZ_SEED overrides it): a run
# is reproducible from its commit, and each commit's run mutates its way to other inputs.
if [[ -z ${GEF_FUZZ_SEED:-} ]]; then
  head=$(git rev-parse HEAD 2>/dev/null) || head=0
  # libFuzzer takes 0 as "choose one"; outside a git checkout the stage falls back to seed 1.
  GEF_FUZZ_SEED=$((16#${head:0:8}))
  ((GEF_FUZZ_SEED != 0)) || GEF_FUZZ_SEED=1
fi
export GEF_FUZZ_SEED
echo "=== fuzz seed $GEF_FUZZ_SEED (GEF_FUZZ_SEED=$GEF_FUZZ_SEED scripts/fuzz-ci.sh repeats this run)"
# Inputs per target: about 60 s each on the CI machine. A count, not a time, so that a run
# tries the same inputs on every machine and passes or fails again when repeated;
# GEF_FUZZ_RUNS=0 runs GEF_FUZZ_SECONDS of new inputs per target instead, to search further.
declare -A runs=([read]=150000 [api]=45000 [roundtrip]=25000)
build_fuzzers
failed=0
for target in ${GEF_FUZZ_TARGETS:-read api roundtrip}; do
  count=${GEF_FUZZ_RUNS:-${runs[$target]}}
  [[ $count == 0 ]] && count=
  echo "=== fuzz $target: ${count:-unbounded} inputs, at most ${seconds}s, from seed $GEF_FUZZ_SEED"
  # Inputs found by earlier runs on this machine would make the run depend on its history.
  rm -rf "${work:?}/$target"
  GEF_FUZZ_RUNS=$count run_fuzzer "$target" "$seconds" || failed=1
done
((failed == 0)) || {
  echo "=== fuzzing with seed $GEF_FUZZ_SEED found faults (inputs above; add them to fuzz/corpus/)"
  exit 1
}
echo "=== fuzzing with seed $GEF_FUZZ_SEED found nothing"
