#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A longer fuzz search: each target in turn for MINUTES (20) with a new seed, growing its work
# corpus in build-fuzz/campaign/ (kept from campaign to campaign, never committed); a finding
# ends that target's turn and its minimised input joins fuzz/corpus/<target>/.
# Usage: scripts/fuzz-campaign.sh [MINUTES]   (GEF_FUZZ_TARGETS picks targets; run it niced)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

minutes=${1:-20}
GEF_FUZZ_WORK=${GEF_FUZZ_WORK:-${GEF_FUZZ_DIR:-build-fuzz}/campaign}
GEF_FUZZ_SOURCED=1 source scripts/fuzz.sh
unset GEF_FUZZ_RUNS
build_fuzzers
summary=()
failed=0
for target in ${GEF_FUZZ_TARGETS:-read api roundtrip}; do
  # A new nonzero seed per target and campaign (libFuzzer takes 0 as "choose one").
  export GEF_FUZZ_SEED=$(($(od -An -N4 -tu4 /dev/urandom) % 4294967295 + 1))
  echo "=== fuzz campaign $target: ${minutes} min from seed $GEF_FUZZ_SEED," \
    "$(find "$work/$target" -type f 2>/dev/null | wc -l) inputs in its work corpus"
  result="nothing found"
  if ! run_fuzzer "$target" $((minutes * 60)); then
    failed=1
    result="finding, not kept"
    if [[ -n $finding ]]; then
      kept=fuzz/corpus/$target/finding_$(sha1sum "$finding" | cut -c1-12)
      cp "$finding" "$kept"
      result="finding: $kept"
    fi
  fi
  inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log" | tail -n 1)
  # A run stopped by a finding may not get to its final figures; its last progress line has them.
  inputs=${inputs:-$(grep -oE '^#[0-9]+' "$out/$target.log" | tail -n 1 | tr -d '#')}
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$out/$target.log" | tail -n 1)
  summary+=("$(printf '%-9s seed %-10s %9s inputs %6s/s  corpus %5s  %s' "$target" \
    "$GEF_FUZZ_SEED" "${inputs:-?}" "${rate:-?}" "$(find "$work/$target" -type f | wc -l)" \
    "$result")")
done
echo "=== fuzz campaign of ${minutes} min per target:"
printf '%s\n' "${summary[@]}"
((failed == 0)) || { echo "=== replay the findings (gef_fuzz_replay), fix them, commit them"; exit 1; }
