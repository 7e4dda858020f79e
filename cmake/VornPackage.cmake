# What `cmake --install` puts where, the CMake package that find_package(Vorn) reads, and the
# Debian package that `cpack` makes of it all (scripts/package.sh).
include(CMakePackageConfigHelpers)

set(VORN_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vorn)
install(EXPORT VornTargets NAMESPACE Vorn:: DESTINATION ${VORN_CMAKE_INSTALL_DIR}
  COMPONENT development)
configure_package_config_file(${VORN_CMAKE_DIR}/VornConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VornConfig.cmake INSTALL_DESTINATION ${VORN_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VornConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VornConfig.cmake ${PROJECT_BINARY_DIR}/VornConfigVersion.cmake
  DESTINATION ${VORN_CMAKE_INSTALL_DIR} COMPONENT development)
# The example of the README's "Your first form", to copy and build against the package.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vorn/examples
  COMPONENT development)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vorn developers <vorn@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Data-aware Qt components for editing the records of an M database server")
set(CPACK_PACKAGE_DESCRIPTION "The Vorn toolkit: the broker client and its sign-on, the data \
source, the bound controls, lookups and output components as static libraries with their \
headers and CMake package, the Qt Designer plugin, the command-line client vorn-rpc, the \
development server vorn-server with its demo data, and the demo application vorn-labtest.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The programs' shared libraries as dpkg-shlibdeps finds them; beside them, what a program
# built with the CMake package needs (Qt's CMake package, which needs the OpenGL headers).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-base-dev, libgl-dev")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cmake, g++, designer-qt6")
set(CPACK_STRIP_FILES ON)
include(CPack)
