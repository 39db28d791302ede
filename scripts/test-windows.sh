#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the Windows binaries and runs their tests under Wine, then checks gef.dll exports what libgef.so does.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/build-windows.sh

build=${GEF_WINDOWS_BUILD_DIR:-build-windows}
build_abs=$(cd "$build" && pwd)

# A private, quiet, display-less Wine that never waits for input; mono/gecko installers are skipped.
export WINEPREFIX="$build_abs/wine-prefix"
export WINEDEBUG=-all
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DISPLAY=
unset WAYLAND_DISPLAY

if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "=== creating Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null
fi
# One Wine server for the whole run: left to itself it exits a few seconds after each program, and a
# test that starts just then loses its connection ("recvmsg: Connection reset by peer"). Stop it on exit
# so this script leaves nothing running.
wineserver -w
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Wine's own services start with the first program and outlive it, holding its output open; start
# them here, so that no test's output stays open and ctest does not wait for them.
wineboot </dev/null >/dev/null 2>&1

echo "=== test $build (under Wine)"
ctest --test-dir "$build" --output-on-failure --timeout "${GEF_TEST_TIMEOUT:-1200}" </dev/null

echo "=== installed tree used by a consumer (find_package, under Wine)"
version=$(sed -n 's/^project(libgef VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
bash tests/consumer/run-windows.sh "$build" . "$build/consumer-check" "$version"

# The two platforms must offer one and the same interface.
linux_so=${GEF_LINUX_BUILD_DIR:-build-test}/lib/libgef.so
if [[ ! -f $linux_so ]]; then
  echo "=== $linux_so missing: building the Linux library to compare exports"
  cmake -S . -B "${GEF_LINUX_BUILD_DIR:-build-test}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "${GEF_LINUX_BUILD_DIR:-build-test}" -j "${GEF_JOBS:-2}" --target gef
fi
echo "=== comparing exports of $linux_so and $build/bin/gef.dll"
bash tests/build/export_names.sh same nm "$linux_so" x86_64-w64-mingw32-objdump "$build/bin/gef.dll"
echo "=== all Windows tests passed"
