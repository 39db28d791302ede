#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the built tree into a scratch prefix and builds a consumer against it twice: through
# find_package(gef) and through pkg-config. Usage: run.sh BUILD_DIR SOURCE_DIR SCRATCH [C_FLAGS]
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") scratch=$(realpath -m "$3") cflags=${4:-}
example="$source/examples/cpt_basic.gef"

rm -rf "$scratch"
prefix="$scratch/prefix with blank"
cmake --install "$build" --prefix "$prefix" >/dev/null

# The installed tree must be relocatable: move it before using it.
mv "$prefix" "$scratch/moved"
prefix="$scratch/moved"

echo "--- find_package route"
cmake -S "$source/tests/consumer" -B "$scratch/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_EXE_LINKER_FLAGS="$cflags" -DCMAKE_BUILD_RPATH_USE_ORIGIN=OFF >/dev/null
cmake --build "$scratch/cmake-build" >/dev/null
"$scratch/cmake-build/consumer" "$example" | tee "$scratch/out1"
grep -qx 'scans [1-9][0-9]*' "$scratch/out1"

echo "--- pkg-config route"
pcdir=$(dirname "$(find "$prefix" -name gef.pc)")
flags=$(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags --libs gef)
libdir=$(PKG_CONFIG_PATH="$pcdir" pkg-config --variable=libdir gef)
# shellcheck disable=SC2086
cc -std=c99 -Wall -Werror -pedantic $cflags "$source/tests/consumer/consumer.c" $flags \
  -Wl,-rpath,"$libdir" -o "$scratch/consumer-pc"
"$scratch/consumer-pc" "$example" | tee "$scratch/out2"
cmp "$scratch/out1" "$scratch/out2"

echo "--- installed geftool"
geftool=$(find "$prefix" -type f -name geftool)
if [[ -n $geftool ]]; then
  if readelf -d "$geftool" | grep -E 'R(UN)?PATH' | grep -q "$build"; then
    echo "geftool carries a run path into the build tree" >&2
    exit 1
  fi
  env -u LD_LIBRARY_PATH "$geftool" info "$example" >/dev/null
fi
echo "consumer checks passed"
