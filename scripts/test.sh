#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds libgef in every build type and runs every test twice: an optimised build, then one under
# AddressSanitizer and UBSan; then the documents-per-thread test under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

source scripts/ensure-packages.sh
# geftool's command line and JSON output use two header-only libraries, its WGS84 PROJ; the Python
# package's tests run with Debian's own python3 and its packages (pyproj for longitude and
# latitude), and rasterise geftool's SVG plots.
python_packages=/usr/lib/python3/dist-packages
ensure_packages cmake=cmake gcc=gcc g++=g++ nm=binutils pkg-config=pkg-config dpkg-shlibdeps=dpkg-dev \
  /usr/src/googletest/CMakeLists.txt=googletest \
  /usr/include/CLI/CLI.hpp=libcli11-dev \
  /usr/include/nlohmann/json.hpp=nlohmann-json3-dev \
  /usr/include/proj.h=libproj-dev \
  /usr/bin/python3=python3 \
  $python_packages/numpy/__init__.py=python3-numpy \
  $python_packages/pandas/__init__.py=python3-pandas \
  $python_packages/matplotlib/__init__.py=python3-matplotlib \
  $python_packages/pytest/__init__.py=python3-pytest \
  $python_packages/pyproj/__init__.py=python3-pyproj \
  rsvg-convert=librsvg2-bin

jobs=${GEF_JOBS:-2}
# A hung test must not eat the whole CI budget; no test is meant to come near this.
test_timeout=${GEF_TEST_TIMEOUT:-1200}

run_suite() {
  local dir=$1
  shift
  echo "=== configure $dir"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEF_WERROR=ON "$@"
  echo "=== build $dir"
  cmake --build "$dir" -j "$jobs"
  echo "=== test $dir"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout "$test_timeout"
}

# The user's plain builds: every build type configures and builds the library, geftool and the
# fuzz replay (the compiler's flow analysis differs per optimisation level) with
# the default options, and warnings stay errors here so a new one is seen at once.
for type in Release Debug; do
  echo "=== $type build (library and geftool)"
  cmake -S . -B "build-${type,,}" -DCMAKE_BUILD_TYPE=$type -DGEF_WERROR=ON >/dev/null
  cmake --build "build-${type,,}" -j "$jobs" --target gef geftool gef_fuzz_replay
done

# Asserts stay on: a test build should trip over broken invariants. The test builds live in
# folders of their own, so `build/` stays the user's.
run_suite build-test \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g"

# The browser page: the library as WebAssembly against the native build above, then the page in
# headless Chromium (skipped, and said so, only where Emscripten or Chromium cannot be installed).
GEF_NATIVE_BUILD=build-test scripts/web.sh test

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-asan \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_C_FLAGS="$sanitize" \
  -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
  -DCMAKE_SHARED_LINKER_FLAGS="$sanitize"

# Documents per thread under ThreadSanitizer: the library and the thread test only.
tsan="-fsanitize=thread -fno-omit-frame-pointer"
echo "=== configure build-tsan"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEF_WERROR=ON \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_C_FLAGS="$tsan" -DCMAKE_CXX_FLAGS="$tsan" -DCMAKE_EXE_LINKER_FLAGS="$tsan" \
  -DCMAKE_SHARED_LINKER_FLAGS="$tsan" >/dev/null
cmake --build build-tsan -j "$jobs" --target gef_thread_tests
echo "=== test build-tsan"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/bin/gef_thread_tests

echo "=== all Linux tests passed"
