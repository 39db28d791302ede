#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page (the library compiled to WebAssembly, the page bundled) and tests it.
#
#   scripts/web.sh [build]   build into build-web/site/
#   scripts/web.sh test      build, then the Node.js bit-for-bit test and the headless Chromium test
#   scripts/web.sh bench     build, then WebAssembly and native read times over the corpus
#   scripts/web.sh serve     build, then serve the page on http://localhost:8000/
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
action=${1:-build}
out=build-web
site=$out/site
native=${GEF_NATIVE_BUILD:-build}
corpus=${GEF_CORPUS:-$root/../shared/corpus}

source scripts/ensure-packages.sh
skip() {
  echo "=== web: SKIPPED, not passed: $*"
  exit 0
}

# emcc runs its JavaScript optimiser with Debian's acorn module.
export NODE_PATH=/usr/share/nodejs
ensure_packages emcc=emscripten /usr/include/fast_float/fast_float.h=libfast-float-dev \
  node=nodejs npm=npm || true
command -v emcc >/dev/null || skip "Emscripten (Debian package emscripten) cannot be installed"
[[ -e /usr/include/fast_float/fast_float.h ]] || skip "libfast-float-dev cannot be installed"

echo "=== web: library and geftool as WebAssembly"
emcmake cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release -DGEF_WERROR=ON >/dev/null
cmake --build "$out" -j "${GEF_JOBS:-2}" --target geftool

echo "=== web: page"
(cd web && { [[ -d node_modules && node_modules/.package-lock.json -nt package-lock.json ]] ||
  npm ci --no-audit --no-fund; })
node web/build.mjs "$out/bin/geftool.js" data/soil_codes.txt "$site"
echo "=== web: built $site (wasm and JS: $(du -b "$site/app.js" | cut -f1) bytes in app.js)"

native_program() {
  [[ -e $native/lib/libgef.so ]] || {
    cmake -S . -B "$native" -DGEF_WERROR=ON >/dev/null
    cmake --build "$native" -j "${GEF_JOBS:-2}" --target gef geftool
  }
  local program
  for program in web/tests/native_values.c web/bench/native_times.c; do
    cc -std=c99 -O2 -Wall -Wextra -Werror -Iinclude -I"$native/include" "$program" -L"$native/lib" \
      -Wl,-rpath,"$root/$native/lib" -lgef -o "$out/$(basename "$program" .c)"
  done
}

files_to_read() {
  find examples -name '*.gef'
  if [[ -d $corpus ]]; then
    find "$corpus" -type f -iname '*.gef'
  else
    echo "=== web: $corpus is absent; only examples/ are compared" >&2
  fi
}

case $action in
build) ;;
serve)
  echo "=== web: http://localhost:8000/"
  exec python3 -m http.server -d "$site" 8000
  ;;
bench)
  native_program
  mapfile -t files < <(files_to_read | sort)
  node web/bench/read_times.mjs "$root/$out/bin/geftool.js" "$out/native_times" "${files[@]}"
  ;;
test)
  native_program
  mapfile -t files < <(files_to_read | sort)
  echo "=== web: WebAssembly against native, ${#files[@]} files"
  node web/tests/compare.mjs "$root/$out/bin/geftool.js" "$out/native_values" "$native/bin/geftool" "${files[@]}"
  ensure_packages chromium=chromium || true
  [[ -x /usr/bin/chromium ]] || skip "Chromium (Debian package chromium) cannot be installed"
  echo "=== web: headless Chromium"
  node web/tests/browser.mjs "$site" "$native/bin/geftool" "$corpus" "$out/screenshots"
  ;;
*)
  echo "usage: scripts/web.sh [build|test|bench|serve]" >&2
  exit 2
  ;;
esac
