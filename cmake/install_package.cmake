# What `cmake --install` lays down besides the targets themselves: the CMake
# package (find_package(varnolith) -> varnolith::varnolith and varnolith::range)
# and the pkg-config files varnolith.pc and varnolith_range.pc.
# The targets and the header carry their own install rules in their folders.

include(CMakePackageConfigHelpers)

set(VARNOLITH_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/varnolith)

# The shared libraries link the engine, OpenMP and the warning flags privately,
# so the exported targets carry only the library file and the include folder:
# consumers link nothing else and compile with none of our flags.
install(EXPORT varnolith-targets
  NAMESPACE varnolith::
  DESTINATION ${VARNOLITH_CMAKE_DIR})

configure_package_config_file(cmake/varnolith-config.cmake.in
  ${PROJECT_BINARY_DIR}/varnolith-config.cmake
  INSTALL_DESTINATION ${VARNOLITH_CMAKE_DIR})
# A new major version changes the four exports or their records.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/varnolith-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/varnolith-config.cmake
  ${PROJECT_BINARY_DIR}/varnolith-config-version.cmake
  DESTINATION ${VARNOLITH_CMAKE_DIR})

# The prefix is only known at install time (`cmake --install --prefix`, DESTDIR),
# so the .pc files find it from their own folder, as the CMake package does. An
# absolute libdir pins the file's place, and the configured prefix is then right.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(VARNOLITH_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
  set(VARNOLITH_PC_PREFIX "\${pcfiledir}/${pc_to_prefix}")
endif()
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(VARNOLITH_PC_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(VARNOLITH_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
configure_file(cmake/varnolith.pc.in ${PROJECT_BINARY_DIR}/varnolith.pc @ONLY)
# The range library has its own version, that of range.h.
get_target_property(VARNOLITH_RANGE_VERSION varnolith_range VERSION)
configure_file(cmake/varnolith_range.pc.in ${PROJECT_BINARY_DIR}/varnolith_range.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/varnolith.pc ${PROJECT_BINARY_DIR}/varnolith_range.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
