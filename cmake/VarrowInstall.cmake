# `cmake --install` puts libvarrow, its public headers, a CMake package
# (find_package(varrow)) and a pkg-config file in place.
include(CMakePackageConfigHelpers)

install(TARGETS varrow EXPORT varrowTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Headers whose name ends in _impl.h or that sit in a detail/ folder are
# internal and stay out of the installed tree.
install(DIRECTORY src/varrow DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  FILES_MATCHING PATTERN "*.h"
  PATTERN "*_impl.h" EXCLUDE
  PATTERN "detail" EXCLUDE)
install(EXPORT varrowTargets NAMESPACE varrow::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/varrow)
configure_package_config_file(cmake/varrowConfig.cmake.in
  "${CMAKE_CURRENT_BINARY_DIR}/varrowConfig.cmake"
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/varrow)
write_basic_package_version_file(
  "${CMAKE_CURRENT_BINARY_DIR}/varrowConfigVersion.cmake"
  COMPATIBILITY SameMinorVersion)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/varrowConfig.cmake"
              "${CMAKE_CURRENT_BINARY_DIR}/varrowConfigVersion.cmake"
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/varrow)
configure_file(cmake/varrow.pc.in "${CMAKE_CURRENT_BINARY_DIR}/varrow.pc" @ONLY)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/varrow.pc"
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
