# The tiers of the code and how the build keeps them apart.
#
# Each library sees only its own folder: its include directory is a folder of the build tree
# that holds one entry, a link to its source folder. It sees the folders below it only through
# the libraries it links, so an include from a tier it does not link does not compile.
#
# Inside the tree, headers are included by their folder ("broker/rpc_broker.h"). The installed
# copies live under include/vorn/ and say "vorn/broker/rpc_broker.h": the build writes them
# with that prefix added to every include of a tier (cmake/vorn_public_header.cmake), so a
# program that uses the package puts nothing but include/ on its path.

include(GNUInstallDirs)

include(${CMAKE_CURRENT_LIST_DIR}/VornTierTable.cmake)

set(VORN_CMAKE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VORN_TIER_ROOT ${PROJECT_BINARY_DIR}/tiers)
set(VORN_PUBLIC_INCLUDE ${PROJECT_BINARY_DIR}/public)

# Sets <out> to a folder that holds only a link named <folder> to the source folder.
function(vorn_tier_include_dir folder out)
  set(dir ${VORN_TIER_ROOT}/${folder})
  if(NOT IS_SYMLINK ${dir}/${folder})
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${dir}/${folder} SYMBOLIC)
  endif()
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

# vorn_tier(<target> <folder>): the target's files include "<folder>/..."; so do those of the
# targets that link it.
function(vorn_tier target folder)
  vorn_tier_include_dir(${folder} dir)
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${dir}>)
endfunction()

# vorn_public_library(<target> <folder> [NO_HEADERS]): a tier library that is installed and
# exported as Vorn::<folder>, with the headers of <folder> under include/vorn/. The headers of
# <folder>/internal/ are the tier's own and its tests': they are never installed, so no
# installed header may include one (the test vorn_installed_headers checks both). NO_HEADERS
# installs the library alone: a tier that the others link privately.
function(vorn_public_library target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "NO_HEADERS" "" "")
  vorn_tier(${target} ${folder})
  # Listed so that AUTOMOC sees the internal headers' classes: their .cpp files live a folder up.
  file(GLOB internal_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/internal/*.h)
  if(internal_headers)
    target_sources(${target} PRIVATE ${internal_headers})
  endif()
  target_include_directories(${target} INTERFACE
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${folder} POSITION_INDEPENDENT_CODE ON)
  add_library(Vorn::${folder} ALIAS ${target})

  set(headers)
  if(NOT arg_NO_HEADERS)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  endif()
  set(outputs)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    list(APPEND outputs ${VORN_PUBLIC_INCLUDE}/vorn/${folder}/${name})
  endforeach()
  string(REPLACE ";" "," tiers "${VORN_PUBLIC_FOLDERS}")
  if(outputs)
    add_custom_command(OUTPUT ${outputs}
      COMMAND ${CMAKE_COMMAND} -DFROM=${PROJECT_SOURCE_DIR}/${folder}
              -DTO=${VORN_PUBLIC_INCLUDE}/vorn/${folder} -DTIERS=${tiers}
              -P ${VORN_CMAKE_DIR}/vorn_public_header.cmake
      DEPENDS ${headers} ${VORN_CMAKE_DIR}/vorn_public_header.cmake
      COMMENT "Public headers of ${folder}"
      VERBATIM)
    add_custom_target(${target}_headers ALL DEPENDS ${outputs})
    install(FILES ${outputs} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vorn/${folder}
      COMPONENT development)
  endif()

  if(BUILD_SHARED_LIBS)
    # libvorn-<folder>.so.<major>: only what the public headers declare between their
    # "visibility push(default)" and "pop" is exported; everything else stays inside.
    set_target_properties(${target} PROPERTIES OUTPUT_NAME vorn-${folder}
      VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    install(TARGETS ${target} EXPORT VornTargets
      LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
        NAMELINK_COMPONENT development)
  else()
    install(TARGETS ${target} EXPORT VornTargets
      ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
    # A stripped install (cpack's, `cmake --install --strip`) strips executables only; the
    # archives' debug information would be most of the package.
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${target}>\")
      endif()" COMPONENT development)
  endif()
endfunction()
