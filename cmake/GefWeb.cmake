# SPDX-License-Identifier: MIT
# The WebAssembly build (emcmake cmake): the library alone, as gef.js and gef.wasm for the web page.
include_guard(GLOBAL)

# fast_float parses numbers where the browser's libc++ has no floating-point from_chars; it is
# header-only, so a copy of Debian's headers (outside the Emscripten sysroot) is enough.
find_path(GEF_FAST_FLOAT_DIR fast_float/fast_float.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY "${GEF_FAST_FLOAT_DIR}/fast_float" DESTINATION "${CMAKE_BINARY_DIR}/fast_float_include")
include_directories(SYSTEM "${CMAKE_BINARY_DIR}/fast_float_include")

add_library(gef_objects OBJECT ${GEF_SOURCES})
target_include_directories(gef_objects
  PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}/include" "${GEF_GENERATED_INCLUDE_DIR}"
  PRIVATE "${CMAKE_CURRENT_SOURCE_DIR}/src")
target_compile_definitions(gef_objects PRIVATE GEF_BUILDING GEF_STATIC)
gef_library_options(gef_objects)

add_library(gef STATIC $<TARGET_OBJECTS:gef_objects>)
target_include_directories(gef PUBLIC "${CMAKE_CURRENT_SOURCE_DIR}/include"
  "${GEF_GENERATED_INCLUDE_DIR}")
target_compile_definitions(gef INTERFACE GEF_STATIC)

# The library throws and catches inside; Emscripten turns catching off unless asked. WebAssembly's
# own exceptions cost nothing until thrown (JavaScript-emulated ones slow every call down).
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)
target_compile_options(gef_objects PRIVATE -fwasm-exceptions)

# geftool joins the library in one module, so the page's findings, CSV and DIF are geftool's own.
add_subdirectory(tools/geftool)

# Exported: the C interface and the gef_ extensions.
file(STRINGS exports.txt gef_exports REGEX "^[A-Za-z_]")
file(STRINGS include/gef/extensions.h gef_extension_lines REGEX "GEF_API .*gef_[a-z0-9_]+\\(")
foreach(line IN LISTS gef_extension_lines)
  string(REGEX MATCH "gef_[a-z0-9_]+" name "${line}")
  list(APPEND gef_exports ${name})
endforeach()
list(TRANSFORM gef_exports PREPEND "_")
list(APPEND gef_exports _main _malloc _free _fflush)
list(JOIN gef_exports "," gef_export_list)

target_link_options(geftool PRIVATE
  "SHELL:-s EXPORTED_FUNCTIONS=${gef_export_list}"
  "SHELL:-s EXPORTED_RUNTIME_METHODS=FS,callMain,HEAPU8"
  "SHELL:-s MODULARIZE=1"
  "SHELL:-s EXPORT_NAME=createGefModule"
  "SHELL:-s INVOKE_RUN=0"
  "SHELL:-s ALLOW_MEMORY_GROWTH=1"
  "SHELL:-s FORCE_FILESYSTEM=1"
  "SHELL:-s ENVIRONMENT=web,worker,node"
  # 64-bit counts reach JavaScript as BigInt; one file holds the page's whole library, so the
  # page also works opened from a file:// address, where nothing can be fetched.
  "SHELL:-s WASM_BIGINT=1"
  "SHELL:-s SINGLE_FILE=1"
  # geftool's exit status is returned to the caller, not made the Node.js process's own.
  "SHELL:-s NODEJS_CATCH_EXIT=0"
  "SHELL:-s NODEJS_CATCH_REJECTION=0")
