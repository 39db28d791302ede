#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the checked-in files expanded from the library's tables: the literal headers of
# the keyword functions and of the error codes, and the API reference.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"${CXX:-g++}" -std=c++17 -Wall -Wextra -Werror -Iinclude -Isrc tools/gen/public_headers_gen.cpp \
  -o "$out/gen"
"$out/gen" functions >include/gef/keyword_functions.h
"$out/gen" errors >include/gef/error_codes.h
/usr/bin/python3 scripts/gen_api_docs.py
echo "include/gef/keyword_functions.h and include/gef/error_codes.h regenerated"
