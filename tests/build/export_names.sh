#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lists or checks the names a libgef shared library (ELF .so or PE .dll) exports.
#
#   export_names.sh list  elf|pe TOOL LIBRARY
#   export_names.sh check elf|pe TOOL LIBRARY EXPORTS_TXT PENDING_TXT [EXTENSIONS_H]
#   export_names.sh same  NM LIBGEF_SO OBJDUMP GEF_DLL
#
# TOOL is nm for elf and objdump for pe. Names starting with gef_ are the library's extensions
# beyond exports.txt: check counts them apart and, given EXTENSIONS_H, requires exactly the
# gef_ functions that header declares.
set -euo pipefail

list_elf() {
  local nm=$1 lib=$2
  # Linker-made markers are not part of the library's interface.
  "$nm" -D --defined-only "$lib" |
    awk 'NF >= 3 { name = $3; sub(/@.*/, "", name);
                   if (name !~ /^(_init|_fini|__bss_start|_edata|_end|__end__|_DYNAMIC|_GLOBAL_OFFSET_TABLE_)$/)
                     print name }' |
    LC_ALL=C sort -u
}

list_pe() {
  local objdump=$1 dll=$2
  "$objdump" -p "$dll" |
    awk '/^\[Ordinal\/Name Pointer\] Table/ { in_table = 1; next }
         in_table && /^[[:space:]]*$/ { in_table = 0 }
         in_table && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF }' |
    LC_ALL=C sort -u
}

list_names() {
  case $1 in
  elf) list_elf "$2" "$3" ;;
  pe) list_pe "$2" "$3" ;;
  *) echo "unknown format: $1" >&2; exit 2 ;;
  esac
}

sorted_file() { tr -d '\r' <"$1" | sed -e 's/[[:space:]]*$//' -e '/^$/d' | LC_ALL=C sort -u; }

print_indented() { sed 's/^/    /'; }

# The gef_ functions a header declares with GEF_API.
declared_extensions() {
  tr -d '\r' <"$1" | grep -o 'GEF_API[^(]*(' | grep -o 'gef_[A-Za-z0-9_]*[[:space:]]*($' |
    sed 's/[[:space:]]*($//' | LC_ALL=C sort -u
}

check() {
  local format=$1 tool=$2 lib=$3 exports=$4 pending=$5 extensions_h=${6:-}
  local tmp
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' RETURN
  list_names "$format" "$tool" "$lib" >"$tmp/exported"
  grep -v '^gef_' "$tmp/exported" >"$tmp/actual" || true
  grep '^gef_' "$tmp/exported" >"$tmp/extensions" || true
  sorted_file "$exports" >"$tmp/all"
  if [[ -f $pending ]]; then sorted_file "$pending" >"$tmp/pending"; else : >"$tmp/pending"; fi
  LC_ALL=C comm -23 "$tmp/all" "$tmp/pending" >"$tmp/expected"

  local failed=0
  LC_ALL=C comm -23 "$tmp/pending" "$tmp/all" >"$tmp/unknown_pending"
  if [[ -s $tmp/unknown_pending ]]; then
    echo "FAIL: pending_exports.txt names that are not in exports.txt (typo?):"
    print_indented <"$tmp/unknown_pending"
    failed=1
  fi
  LC_ALL=C comm -12 "$tmp/actual" "$tmp/pending" >"$tmp/done_pending"
  if [[ -s $tmp/done_pending ]]; then
    echo "FAIL: exported but still listed in tests/build/pending_exports.txt (remove them there):"
    print_indented <"$tmp/done_pending"
    failed=1
  fi
  LC_ALL=C comm -13 "$tmp/expected" "$tmp/actual" | LC_ALL=C comm -23 - "$tmp/pending" >"$tmp/leaked"
  if [[ -s $tmp/leaked ]]; then
    echo "FAIL: exported by $(basename "$lib") but not in exports.txt (leaked internal symbols):"
    print_indented <"$tmp/leaked"
    failed=1
  fi
  LC_ALL=C comm -23 "$tmp/expected" "$tmp/actual" >"$tmp/missing"
  if [[ -s $tmp/missing ]]; then
    echo "FAIL: in exports.txt and not pending, but not exported by $(basename "$lib") (missing):"
    print_indented <"$tmp/missing"
    failed=1
  fi
  if grep -q '^gef_' "$tmp/all"; then
    echo "FAIL: exports.txt itself uses the gef_ prefix kept for extensions:"
    grep '^gef_' "$tmp/all" | print_indented
    failed=1
  fi
  if [[ -n $extensions_h ]]; then
    declared_extensions "$extensions_h" >"$tmp/declared"
    LC_ALL=C comm -23 "$tmp/declared" "$tmp/extensions" >"$tmp/unexported"
    LC_ALL=C comm -13 "$tmp/declared" "$tmp/extensions" >"$tmp/undeclared"
    if [[ -s $tmp/unexported ]]; then
      echo "FAIL: declared in $(basename "$extensions_h") but not exported:"
      print_indented <"$tmp/unexported"
      failed=1
    fi
    if [[ -s $tmp/undeclared ]]; then
      echo "FAIL: gef_ names exported but not declared in $(basename "$extensions_h"):"
      print_indented <"$tmp/undeclared"
      failed=1
    fi
  fi
  echo "$(basename "$lib"): $(wc -l <"$tmp/actual") specified names exported, $(wc -l <"$tmp/expected") expected," \
    "$(wc -l <"$tmp/pending") pending; $(wc -l <"$tmp/extensions") gef_ extensions"
  return $failed
}

same() {
  local nm=$1 so=$2 objdump=$3 dll=$4
  local tmp
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' RETURN
  list_elf "$nm" "$so" >"$tmp/so"
  list_pe "$objdump" "$dll" >"$tmp/dll"
  if cmp -s "$tmp/so" "$tmp/dll"; then
    echo "$(basename "$so") and $(basename "$dll") export the same $(wc -l <"$tmp/so") names"
    return 0
  fi
  echo "FAIL: export lists differ"
  if LC_ALL=C comm -23 "$tmp/so" "$tmp/dll" | grep -q .; then
    echo "  only in $(basename "$so"):"
    LC_ALL=C comm -23 "$tmp/so" "$tmp/dll" | print_indented
  fi
  if LC_ALL=C comm -13 "$tmp/so" "$tmp/dll" | grep -q .; then
    echo "  only in $(basename "$dll"):"
    LC_ALL=C comm -13 "$tmp/so" "$tmp/dll" | print_indented
  fi
  return 1
}

command=${1:-}
shift || true
case $command in
list) [[ $# -eq 3 ]] || { echo "usage: $0 list elf|pe TOOL LIBRARY" >&2; exit 2; }; list_names "$@" ;;
check) [[ $# -eq 5 || $# -eq 6 ]] || { echo "usage: $0 check elf|pe TOOL LIBRARY EXPORTS PENDING [EXTENSIONS_H]" >&2; exit 2; }; check "$@" ;;
same) [[ $# -eq 4 ]] || { echo "usage: $0 same NM SO OBJDUMP DLL" >&2; exit 2; }; same "$@" ;;
*) sed -n '2,11p' "$0" >&2; exit 2 ;;
esac
