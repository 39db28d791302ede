#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# CI fuzz stage: builds the fuzz targets and runs read, api and roundtrip for GEF_FUZZ_SECONDS
# (60) each from seed GEF_FUZZ_SEED (1), seeded with the regression corpus, the examples and the
# shared corpus; any finding fails the stage and prints its minimised input (base64) in the log.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

GEF_FUZZ_SOURCED=1 source scripts/fuzz.sh
# After the sourcing, which sets defaults of its own.
seconds=${GEF_FUZZ_SECONDS:-60}
build_fuzzers
failed=0
for target in ${GEF_FUZZ_TARGETS:-read api roundtrip}; do
  echo "=== fuzz $target for ${seconds}s from seed ${GEF_FUZZ_SEED:-1}"
  # Inputs found by earlier runs on this machine would make the run depend on its history.
  rm -rf "$out/work/$target"
  run_fuzzer "$target" "$seconds" || failed=1
done
((failed == 0)) || { echo "=== fuzzing found faults (inputs above; add them to fuzz/corpus/)"; exit 1; }
echo "=== fuzzing found nothing"
