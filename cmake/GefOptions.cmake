# SPDX-License-Identifier: MIT
# Compiler and linker settings shared by every libgef target, kept in one place so Linux and Windows agree.
include_guard(GLOBAL)

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_C_STANDARD 99)
set(CMAKE_C_STANDARD_REQUIRED ON)
set(CMAKE_C_EXTENSIONS OFF)

# Warnings are errors in the project's own scripts (they turn this on); a user's or packager's
# compiler of another version must never fail the build over a warning.
option(GEF_WERROR "Treat compiler warnings as errors" OFF)

set(GEF_VERSION_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/gef.version")

function(gef_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${GEF_WERROR}>:-Werror>)
endfunction()

function(gef_library_options target)
  gef_warnings(${target})
  # Only GEF_API functions may form the ABI; everything else stays private to the library.
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# A program that needs no extra runtime DLLs next to it on Windows.
function(gef_program_options target)
  gef_warnings(${target})
  if(WIN32)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()

function(gef_shared_library_options target)
  if(WIN32)
    # Produces libgef.dll.a for MinGW and gef.def from which MSVC's lib.exe can make gef.lib.
    set_target_properties(${target} PROPERTIES
      PREFIX ""
      IMPORT_PREFIX "lib"
      IMPORT_SUFFIX ".dll.a")
    target_link_options(${target} PRIVATE
      -static -static-libgcc -static-libstdc++
      "LINKER:--output-def,${CMAKE_BINARY_DIR}/bin/gef.def"
      "LINKER:--exclude-libs,ALL")
  else()
    # Template code from the standard library would otherwise be exported with default visibility.
    target_link_options(${target} PRIVATE
      "LINKER:--version-script=${GEF_VERSION_SCRIPT}"
      "LINKER:--no-undefined")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${GEF_VERSION_SCRIPT}")
  endif()
endfunction()

# Registers a GoogleTest program with ctest: each test on its own natively, the whole program as
# one test when cross-compiled (listing the tests would need the emulator at build time).
function(gef_add_gtest target)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
  endif()
endfunction()
