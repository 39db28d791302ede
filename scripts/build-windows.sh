#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds gef.dll, its import library and the Windows test programs into build-windows/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source scripts/ensure-packages.sh
ensure_packages \
  x86_64-w64-mingw32-g++-posix=g++-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-gcc-posix=gcc-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-objdump=binutils-mingw-w64-x86-64 \
  wine=wine \
  /usr/lib/wine/wine64=wine64 \
  /usr/include/CLI/CLI.hpp=libcli11-dev \
  /usr/include/nlohmann/json.hpp=nlohmann-json3-dev

build=${GEF_WINDOWS_BUILD_DIR:-build-windows}
echo "=== configure $build"
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
  -DGEF_WERROR=ON
echo "=== build $build"
cmake --build "$build" -j "${GEF_JOBS:-2}"
ls -l "$build"/bin/*.dll "$build"/bin/*.exe "$build"/lib/*.dll.a 2>/dev/null || true
