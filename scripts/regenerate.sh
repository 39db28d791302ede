#!/usr/bin/env bash
# Regenerates the checked-in headers that are expanded from the keyword table.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"${CXX:-g++}" -std=c++17 -Wall -Wextra -Werror -Iinclude -Isrc tools/gen/keyword_functions_gen.cpp \
  -o "$out/gen"
"$out/gen" >include/gef/keyword_functions.h
/usr/bin/python3 scripts/gen_api_docs.py
echo "include/gef/keyword_functions.h regenerated"
