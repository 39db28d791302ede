# SPDX-License-Identifier: MIT
# Writes one GEF_REF(name) line per name in exports.txt.
cmake_minimum_required(VERSION 3.25)
file(STRINGS "${EXPORTS}" all_names)
set(content "/* Generated from exports.txt; do not edit.\n"
  " * A compile or link error on a name below: it is not declared in <gef/gef.h> or not\n"
  " * exported. */\n")
foreach(name IN LISTS all_names)
  string(STRIP "${name}" name)
  if(name STREQUAL "")
    continue()
  endif()
  string(APPEND content "GEF_REF(${name})\n")
endforeach()
# Rewrite only on change so the ABI programs are not rebuilt every time.
file(WRITE "${OUTPUT}.tmp" "${content}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${OUTPUT}.tmp")
