# SPDX-License-Identifier: MIT
# CMake toolchain for cross-building 64-bit Windows binaries with Debian's MinGW-w64 and running them under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GEF_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix-thread variant has std::thread/std::mutex in GCC 12; the win32 one does not.
set(CMAKE_C_COMPILER ${GEF_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GEF_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${GEF_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${GEF_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${GEF_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${GEF_MINGW_TRIPLET}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${GEF_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest then runs the Windows test programs through Wine.
find_program(GEF_WINE NAMES wine wine64 wine-stable)
if(GEF_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${GEF_WINE}")
endif()
