#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lists or checks the names a libgef shared library (ELF .so or PE .dll) exports.
#
#   export_names.sh list  elf|pe TOOL LIBRARY
#   export_names.sh check elf|pe TOOL LIBRARY EXPORTS_TXT [EXTENSIONS_H]
#   export_names.sh same  NM LIBGEF_SO OBJDUMP GEF_DLL
#
# TOOL is nm for elf and objdump for pe. Names starting with gef_ are the library's extensions
# beyond exports.txt: check counts them apart and, given EXTENSIONS_H, requires exactly the
# gef_ functions that header declares.
set -euo pipefail

list_elf() {
  # Linker-made markers are not part of the library's interface.
  "$1" -D --defined-only "$2" |
    awk 'NF >= 3 { name = $3; sub(/@.*/, "", name);
                   if (name !~ /^(_init|_fini|__bss_start|_edata|_end|__end__|_DYNAMIC|_GLOBAL_OFFSET_TABLE_)$/)
                     print name }' |
    LC_ALL=C sort -u
}

list_pe() {
  "$1" -p "$2" |
    awk '/^\[Ordinal\/Name Pointer\] Table/ { in_table = 1; next }
         in_table && /^[[:space:]]*$/ { in_table = 0 }
         in_table && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF }' |
    LC_ALL=C sort -u
}

list_names() {
  case $1 in
  elf | pe) "list_$1" "$2" "$3" ;;
  *) echo "unknown format: $1" >&2; exit 2 ;;
  esac
}

sorted_file() { tr -d '\r' <"$1" | sed -e 's/[[:space:]]*$//' -e '/^$/d' | LC_ALL=C sort -u; }

# Fails the check, with MESSAGE and the names, when FILE lists any.
fail_if_any() {
  [[ -s $1 ]] || return 0
  echo "FAIL: $2"
  sed 's/^/    /' "$1"
  failed=1
}

check() {
  local format=$1 tool=$2 lib=$3 exports=$4 extensions_h=${5:-} tmp
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' RETURN
  list_names "$format" "$tool" "$lib" >"$tmp/exported"
  grep -v '^gef_' "$tmp/exported" >"$tmp/actual" || true
  grep '^gef_' "$tmp/exported" >"$tmp/extensions" || true
  sorted_file "$exports" >"$tmp/expected"
  local name
  name=$(basename "$lib")
  failed=0
  LC_ALL=C comm -13 "$tmp/expected" "$tmp/actual" >"$tmp/3"
  fail_if_any "$tmp/3" "exported by $name but not in exports.txt (leaked internal symbols):"
  LC_ALL=C comm -23 "$tmp/expected" "$tmp/actual" >"$tmp/4"
  fail_if_any "$tmp/4" "in exports.txt but not exported by $name (missing):"
  grep '^gef_' "$tmp/expected" >"$tmp/5" || true
  fail_if_any "$tmp/5" "exports.txt itself uses the gef_ prefix kept for extensions:"
  if [[ -n $extensions_h ]]; then
    # The gef_ functions the header declares with GEF_API.
    tr -d '\r' <"$extensions_h" | grep -o 'GEF_API[^(]*(' | grep -o 'gef_[A-Za-z0-9_]*[[:space:]]*($' |
      sed 's/[[:space:]]*($//' | LC_ALL=C sort -u >"$tmp/declared"
    LC_ALL=C comm -23 "$tmp/declared" "$tmp/extensions" >"$tmp/6"
    fail_if_any "$tmp/6" "declared in $(basename "$extensions_h") but not exported:"
    LC_ALL=C comm -13 "$tmp/declared" "$tmp/extensions" >"$tmp/7"
    fail_if_any "$tmp/7" "gef_ names exported but not declared in $(basename "$extensions_h"):"
  fi
  echo "$name: $(wc -l <"$tmp/actual") specified names exported, $(wc -l <"$tmp/expected") expected;" \
    "$(wc -l <"$tmp/extensions") gef_ extensions"
  return $failed
}

same() {
  local tmp
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' RETURN
  list_elf "$1" "$2" >"$tmp/so"
  list_pe "$3" "$4" >"$tmp/dll"
  if cmp -s "$tmp/so" "$tmp/dll"; then
    echo "$(basename "$2") and $(basename "$4") export the same $(wc -l <"$tmp/so") names"
    return 0
  fi
  echo "FAIL: export lists differ (< only in $(basename "$2"), > only in $(basename "$4"))"
  diff "$tmp/so" "$tmp/dll" | grep '^[<>]' || true
  return 1
}

command=${1:-}
shift || true
case $command:$# in
list:3) list_names "$@" ;;
check:4 | check:5 | same:4) "$command" "$@" ;;
*) sed -n '2,11p' "$0" >&2; exit 2 ;;
esac
