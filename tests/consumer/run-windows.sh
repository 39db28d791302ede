#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Windows build into a scratch prefix, builds the consumer against it through
# find_package(gef) with the MinGW toolchain and runs it under Wine; also checks that gef.dll
# carries the project version in its version resource.
# Usage: run-windows.sh BUILD_DIR SOURCE_DIR SCRATCH VERSION
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") scratch=$(realpath -m "$3") version=$4

rm -rf "$scratch"
prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

echo "--- version resource of gef.dll"
strings -el "$prefix/bin/gef.dll" | grep -qx "$version" ||
  { echo "gef.dll has no version resource saying $version" >&2; exit 1; }

# The toolchain confines package searches to the MinGW root, so the package folder is named.
echo "--- find_package route (MinGW, run under Wine)"
cmake -S "$source/tests/consumer" -B "$scratch/cmake-build" \
  -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
  -Dgef_DIR="$(dirname "$(find "$prefix" -name gefConfig.cmake)")" \
  -DCMAKE_EXE_LINKER_FLAGS=-static >/dev/null
cmake --build "$scratch/cmake-build" >/dev/null
# Windows looks for a program's DLLs beside it first.
cp "$prefix/bin/gef.dll" "$scratch/cmake-build/"
wine "$scratch/cmake-build/consumer.exe" "$(winepath -w "$source/examples/cpt_basic.gef")" |
  tr -d '\r' | tee "$scratch/out"
grep -qx 'scans [1-9][0-9]*' "$scratch/out"
echo "Windows consumer checks passed"
