#!/usr/bin/env bash
# Fuzzes read_gef and the header rules with libFuzzer (clang), seeded with the examples and the
# corpus; crashes, leaks and sanitizer reports stop the run and leave the input in build-fuzz/.
# Usage: scripts/fuzz.sh [SECONDS]   (default 120; not part of the test run)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-120}
out=build-fuzz
mkdir -p "$out/seeds"
command -v clang++ >/dev/null || { apt-get update -qq && apt-get install -y -qq clang; }
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || apt-get install -y -qq libclang-rt-14-dev || true

mapfile -t sources < <(find src -name '*.cpp' | sort)
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -Iinclude -Isrc -DGEF_STATIC \
  fuzz/read_fuzz.cpp "${sources[@]}" -o "$out/read_fuzz"

cp examples/*.gef "$out/seeds/"
if [[ -d ../shared/corpus ]]; then
  find ../shared/corpus -iname '*.gef' -size -20k -exec cp {} "$out/seeds/" \;
fi
cd "$out"
./read_fuzz -max_total_time="$seconds" -max_len=20000 -timeout=10 seeds
