#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of a build tree and checks what it would install, unpacked in a
# scratch root. Usage: package_check.sh BUILD_DIR SCRATCH
set -euo pipefail
build=$(realpath "$1") scratch=$(realpath -m "$2")
rm -rf "$scratch" && mkdir -p "$scratch"
(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(find "$scratch/out" -maxdepth 1 -name '*.deb' | head -n 1)
[[ -n $deb ]] || { echo "no .deb was made" >&2; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"
missing=0
for want in 'usr/lib*/libgef.so.0' 'usr/lib*/libgef.so' 'usr/include/gef/gef.h' \
  'usr/lib*/pkgconfig/gef.pc' 'usr/lib*/cmake/gef/gefConfig.cmake' 'usr/bin/geftool'; do
  # shellcheck disable=SC2086
  if ! compgen -G "$scratch/root/"$want >/dev/null; then
    echo "missing from the package: $want" >&2
    missing=1
  fi
done
dpkg-deb -I "$deb" | grep -E '^ (Package|Version|Depends):'
exit "$missing"
