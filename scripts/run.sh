#!/usr/bin/env bash
# Builds the library and runs the example program against the shared library.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${GEF_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "${GEF_JOBS:-2}"

example="$build/bin/gef_example"
if [[ ! -x $example ]]; then
  echo "gef_example was not built (examples/edit_document.c or src/ sources missing)" >&2
  exit 1
fi
echo "=== $example"
"$example" "$@"
