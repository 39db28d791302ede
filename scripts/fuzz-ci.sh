#!/usr/bin/env bash
# CI fuzz stage: builds the fuzz targets and runs each for GEF_FUZZ_SECONDS (60) seeded with the
# regression corpus, the examples and the shared corpus; any finding fails the stage and prints
# its minimised input (base64) in the log.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

GEF_FUZZ_SOURCED=1 source scripts/fuzz.sh
# After the sourcing, which sets defaults of its own.
seconds=${GEF_FUZZ_SECONDS:-60}
build_fuzzers
failed=0
# A fixed number of inputs per target, about a minute each on the CI machine, from a fixed seed:
# CI stays reproducible (GEF_FUZZ_RUNS=0 falls back to GEF_FUZZ_SECONDS of new inputs).
declare -A runs=([read]=${GEF_FUZZ_RUNS_READ:-20000} [api]=${GEF_FUZZ_RUNS_API:-3000}
  [roundtrip]=${GEF_FUZZ_RUNS_ROUNDTRIP:-8000})
# The roundtrip target still finds documents that are changed on purpose by writing (see
# fuzz/roundtrip_target.cpp); it joins the stage once its promise is settled.
for target in ${GEF_FUZZ_TARGETS:-read api}; do
  if [[ ${GEF_FUZZ_RUNS:-} == 0 ]]; then
    echo "=== fuzz $target for ${seconds}s"
    GEF_FUZZ_RUNS= run_fuzzer "$target" "$seconds" || failed=1
  else
    echo "=== fuzz $target: ${runs[$target]} inputs from seed ${GEF_FUZZ_SEED:-1}"
    GEF_FUZZ_RUNS=${runs[$target]} run_fuzzer "$target" 600 || failed=1
  fi
done
((failed == 0)) || { echo "=== fuzzing found faults (inputs above; add them to fuzz/corpus/)"; exit 1; }
echo "=== fuzzing found nothing"
