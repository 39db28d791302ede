#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a Windows binary imports a DLL that a bare Windows installation does not provide.
#
#   check_dll_imports.sh OBJDUMP BINARY...
set -euo pipefail

objdump=$1
shift

# System DLLs every 64-bit Windows has, plus the library itself; MinGW runtime DLLs are not among them.
allowed='^(kernel32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+|user32|advapi32|ws2_32|shell32|ole32|oleaut32|bcrypt|ntdll|gef)\.dll$'

failed=0
for binary in "$@"; do
  mapfile -t imports < <("$objdump" -p "$binary" | awk '/DLL Name:/ { print $3 }' | sort -u)
  bad=()
  for dll in "${imports[@]}"; do
    if ! [[ ${dll,,} =~ $allowed ]]; then bad+=("$dll"); fi
  done
  if ((${#bad[@]})); then
    echo "FAIL: $(basename "$binary") needs DLLs a bare Windows lacks: ${bad[*]}"
    failed=1
  else
    echo "ok: $(basename "$binary") imports only ${imports[*]}"
  fi
done
exit $failed
