#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the library and geftool, runs the example program, then geftool on an example file.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source scripts/ensure-packages.sh
ensure_packages cmake=cmake gcc=gcc g++=g++ \
  /usr/include/CLI/CLI.hpp=libcli11-dev \
  /usr/include/nlohmann/json.hpp=nlohmann-json3-dev \
  /usr/include/proj.h=libproj-dev

build=${GEF_BUILD_DIR:-build}
# Only what this script runs: the library, geftool and the examples, not the test suite.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEF_WERROR=ON -DGEF_BUILD_TESTS=OFF
cmake --build "$build" -j "${GEF_JOBS:-2}"

example="$build/bin/gef_example"
if [[ ! -x $example ]]; then
  echo "gef_example was not built (examples/edit_document.c or src/ sources missing)" >&2
  exit 1
fi
echo "=== $example"
"$example"
echo "=== $build/bin/gef_read_example ${1:-examples/cpt_basic.gef}"
"$build/bin/gef_read_example" "${1:-examples/cpt_basic.gef}"

geftool="$build/bin/geftool"
sample=${1:-examples/cpt_basic.gef}
if [[ -x $geftool ]]; then
  echo "=== $geftool info $sample"
  "$geftool" info "$sample"
  echo "=== $geftool check $sample"
  "$geftool" check "$sample"
else
  echo "geftool was not built; skipping it"
fi
