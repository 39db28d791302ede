#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the release archives: build/packages/*.tar.gz and *.deb, and with --windows the .zip.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source scripts/ensure-packages.sh
ensure_packages cmake=cmake g++=g++ dpkg-shlibdeps=dpkg-dev /usr/include/CLI/CLI.hpp=libcli11-dev \
  /usr/include/nlohmann/json.hpp=nlohmann-json3-dev /usr/include/proj.h=libproj-dev

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "${GEF_JOBS:-2}"
(cd build && cpack)
if [[ ${1:-} == --windows ]]; then
  scripts/build-windows.sh
  (cd build-windows && cpack)
fi
ls -l build/packages build-windows/packages 2>/dev/null || true
