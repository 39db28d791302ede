# SPDX-License-Identifier: MIT
# Install rules for the library: headers, the CMake package (gef::gef) and a pkg-config file.
include_guard(GLOBAL)
include(CMakePackageConfigHelpers)

if(NOT WIN32)
  # The DLL carries its version in its name-independent resource; ELF gets a SONAME.
  set_target_properties(gef PROPERTIES
    VERSION "${PROJECT_VERSION}"
    SOVERSION "${PROJECT_VERSION_MAJOR}")
endif()

install(TARGETS gef EXPORT gefTargets
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}"
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/gef"
  DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}"
  FILES_MATCHING PATTERN "*.h")
install(FILES "${GEF_GENERATED_INCLUDE_DIR}/gef/version.h"
  DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/gef")
if(WIN32)
  install(FILES "${CMAKE_BINARY_DIR}/bin/gef.def" DESTINATION "${CMAKE_INSTALL_LIBDIR}" OPTIONAL)
endif()

set(GEF_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/gef")
install(EXPORT gefTargets NAMESPACE gef:: FILE gefTargets.cmake DESTINATION "${GEF_CMAKE_DIR}")
configure_package_config_file("${CMAKE_CURRENT_LIST_DIR}/gefConfig.cmake.in"
  "${CMAKE_BINARY_DIR}/gefConfig.cmake" INSTALL_DESTINATION "${GEF_CMAKE_DIR}")
write_basic_package_version_file("${CMAKE_BINARY_DIR}/gefConfigVersion.cmake"
  VERSION "${PROJECT_VERSION}" COMPATIBILITY SameMajorVersion)
install(FILES "${CMAKE_BINARY_DIR}/gefConfig.cmake" "${CMAKE_BINARY_DIR}/gefConfigVersion.cmake"
  DESTINATION "${GEF_CMAKE_DIR}")

# pkg-config paths relative to the prefix keep the installed tree relocatable.
file(RELATIVE_PATH GEF_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
configure_file("${CMAKE_CURRENT_LIST_DIR}/gef.pc.in" "${CMAKE_BINARY_DIR}/gef.pc" @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/gef.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
