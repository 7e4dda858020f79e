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
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libvorn-dev/examples
  COMPONENT development)

# Each Debian package has its copyright file and compressed changelog, and each program its
# compressed manual page.
set(VORN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VORN_PACKAGE_runtime libvorn${PROJECT_VERSION_MAJOR})
set(VORN_PACKAGE_development libvorn-dev)
set(VORN_PACKAGE_server vorn-server)
set(VORN_PACKAGE_demo vorn-labtest)
set(VORN_PACKAGE_designer vorn-designer-plugin)
set(VORN_COMPONENTS development server demo)
if(BUILD_SHARED_LIBS)
  list(PREPEND VORN_COMPONENTS runtime)
endif()
if(TARGET vorn_designer)
  list(APPEND VORN_COMPONENTS designer)
endif()

set(gzipped ${PROJECT_BINARY_DIR}/packaging)
set(gzip_outputs)
function(vorn_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${gzipped}
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
vorn_gzip(${VORN_PACKAGING_DIR}/changelog ${gzipped}/changelog.gz)
list(APPEND gzip_outputs ${gzipped}/changelog.gz)
foreach(page vorn-server vorn-rpc vorn-labtest)
  vorn_gzip(${VORN_PACKAGING_DIR}/man/${page}.1 ${gzipped}/${page}.1.gz)
  list(APPEND gzip_outputs ${gzipped}/${page}.1.gz)
endforeach()
add_custom_target(vorn_packaging_files ALL DEPENDS ${gzip_outputs})

foreach(component IN LISTS VORN_COMPONENTS)
  install(FILES ${VORN_PACKAGING_DIR}/copyright ${gzipped}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VORN_PACKAGE_${component}} COMPONENT ${component})
endforeach()
install(FILES ${gzipped}/vorn-server.1.gz ${gzipped}/vorn-rpc.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT server)
install(FILES ${gzipped}/vorn-labtest.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT demo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vorn developers <maintainers@users.noreply.c-seed-c69230c9.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Data-aware Qt components for editing the records of an M database server")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${VORN_COMPONENTS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the toolkit's own libraries in the build tree; the packages that hold
# them are named below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${PROJECT_BINARY_DIR}/common ${PROJECT_BINARY_DIR}/broker ${PROJECT_BINARY_DIR}/toolkit
  ${PROJECT_BINARY_DIR}/signon ${PROJECT_BINARY_DIR}/source ${PROJECT_BINARY_DIR}/lookup
  ${PROJECT_BINARY_DIR}/controls ${PROJECT_BINARY_DIR}/output)
set(runtime_depends "")
if(BUILD_SHARED_LIBS)
  set(runtime_depends "${VORN_PACKAGE_runtime} (= ${PROJECT_VERSION})")
endif()

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${VORN_PACKAGE_runtime})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The shlibs file names libvorn0 for each SONAME; the trigger runs ldconfig once per dpkg run.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${VORN_PACKAGING_DIR}/triggers)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Vorn toolkit: shared libraries
 The Vorn toolkit edits the records of an M (MUMPS) database server from Qt
 forms. This package holds its shared libraries: the broker client and its
 sign-on, the data source, the bound controls, the lookups and the output
 components.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${VORN_PACKAGE_development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_ARCHITECTURE_ALL OFF)
# A program built with the CMake package needs Qt's CMake package, which needs the OpenGL
# headers.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qt6-base-dev, libgl-dev")
if(runtime_depends)
  string(PREPEND CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${runtime_depends}, ")
endif()
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_RECOMMENDS "cmake, g++")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "${VORN_PACKAGE_designer}, ${VORN_PACKAGE_server}")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Vorn toolkit: headers, CMake package and example
 The Vorn toolkit edits the records of an M (MUMPS) database server from Qt
 forms. This package holds what a program built on it needs: the headers, the
 CMake package that find_package(Vorn) reads, and the example of a first form.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME ${VORN_PACKAGE_server})
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "${runtime_depends}")
# --engine gtm loads GT.M when it is asked for.
set(CPACK_DEBIAN_SERVER_PACKAGE_SUGGESTS fis-gtm)
set(CPACK_DEBIAN_SERVER_DESCRIPTION "Vorn development server and command-line client
 vorn-server stands in for an M (MUMPS) server while Vorn forms are built and
 tested: the broker protocol, sign-on, record calls and locks, with demo data
 in an embedded database. vorn-rpc calls one remote procedure on an M server
 from the command line.")

set(CPACK_DEBIAN_DEMO_PACKAGE_NAME ${VORN_PACKAGE_demo})
set(CPACK_DEBIAN_DEMO_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_DEMO_PACKAGE_DEPENDS "${runtime_depends}")
set(CPACK_DEBIAN_DEMO_PACKAGE_SUGGESTS ${VORN_PACKAGE_server})
set(CPACK_DEBIAN_DEMO_DESCRIPTION "Demo lab test, the demonstration application of Vorn
 Demo lab test edits the lab tests of an M (MUMPS) server, their wards, results
 and subresults, through the Vorn toolkit's forms. vorn-server serves it the
 demo data.")

set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME ${VORN_PACKAGE_designer})
set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_DESIGNER_PACKAGE_DEPENDS "${runtime_depends}")
set(CPACK_DEBIAN_DESIGNER_PACKAGE_ENHANCES "designer-qt6")
set(CPACK_DEBIAN_DESIGNER_DESCRIPTION "Vorn toolkit: Qt Designer plugin
 The Vorn toolkit's bound controls, lookups and output components in Qt
 Designer's \"Vorn\" group, for forms made in Designer.")
include(CPack)
