# SPDX-License-Identifier: MIT
# Release archives: a .tar.gz and a Debian package on Linux, a .zip for Windows (scripts/package.sh).
include_guard(GLOBAL)

set(CPACK_PACKAGE_NAME "libgef")
set(CPACK_PACKAGE_VENDOR "The libgef developers")
set(CPACK_PACKAGE_CONTACT "The libgef developers <libgef@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Reads, checks, edits and writes GEF geotechnical exchange files, with geftool")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES OFF)
if(WIN32)
  set(CPACK_GENERATOR "ZIP")
  set(CPACK_SYSTEM_NAME "win64")
else()
  set(CPACK_GENERATOR "TGZ;DEB")
  set(CPACK_DEBIAN_PACKAGE_SECTION "libs")
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # The library needs only the C and C++ runtimes; let dpkg-shlibdeps name them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # geftool opens PROJ only to place locations in WGS84, and says so when it cannot.
  if(GEFTOOL_PROJ_PACKAGE)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${GEFTOOL_PROJ_PACKAGE}")
  endif()
endif()
include(CPack)
