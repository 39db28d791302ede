#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Removes from tests/build/pending_exports.txt every name the built libgef.so now exports.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

lib=${1:-build/lib/libgef.so}
pending=tests/build/pending_exports.txt
if [[ ! -f $lib ]]; then
  echo "$lib not found: build first (scripts/test.sh or cmake --build build)" >&2
  exit 1
fi

exported=$(mktemp)
trap 'rm -f "$exported" "$pending.new"' EXIT
bash tests/build/export_names.sh list elf nm "$lib" >"$exported"
grep -vxF -f "$exported" "$pending" >"$pending.new" || true
removed=$(($(wc -l <"$pending") - $(wc -l <"$pending.new")))
mv "$pending.new" "$pending"
echo "removed $removed names; $(wc -l <"$pending") still pending"
