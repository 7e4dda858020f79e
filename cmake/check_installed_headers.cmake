# Checks the headers of an install: none of them is a tier's internal header (a header under
# <tier>/internal/, or any header of common/, which the tiers link privately), and every
# include of a tier in them names a header that is installed too, so a program that has only
# include/ on its path compiles against any of them.
#   cmake -DBUILD=<build dir> -DSTAGE=<empty dir> -P check_installed_headers.cmake
#     installs the build's development files into STAGE first;
#   cmake -DINCLUDE=<include dir> -P check_installed_headers.cmake
#     checks an install that is already there.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/VornTierTable.cmake)
if(BUILD)
  file(REMOVE_RECURSE ${STAGE})
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}
                          --component development
                  RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "installing ${BUILD} into ${STAGE} failed")
  endif()
  set(INCLUDE ${STAGE}/include)
endif()
if(NOT INCLUDE)
  message(FATAL_ERROR "usage: cmake -DBUILD=<build> -DSTAGE=<dir> | -DINCLUDE=<dir> -P ...")
endif()

cmake_path(ABSOLUTE_PATH INCLUDE BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
string(REPLACE ";" "|" tiers "${VORN_TIER_FOLDERS}")
file(GLOB_RECURSE installed RELATIVE ${INCLUDE} ${INCLUDE}/*)
set(bad 0)
set(headers 0)
foreach(file IN LISTS installed)
  math(EXPR headers "${headers} + 1")
  if(file MATCHES "/internal/" OR file MATCHES "^vorn/common/")
    message(STATUS "fault: ${file}: an internal header is installed")
    math(EXPR bad "${bad} + 1")
  endif()
  file(STRINGS ${INCLUDE}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "[\"<]([^\">]+)[\">]")
      continue()
    endif()
    set(named ${CMAKE_MATCH_1})
    if(named MATCHES "^vorn/")
      if(NOT EXISTS ${INCLUDE}/${named} OR named MATCHES "/internal/")
        message(STATUS "fault: ${file}: includes ${named}, which is not installed")
        math(EXPR bad "${bad} + 1")
      endif()
    elseif(named MATCHES "^(${tiers})/")
      message(STATUS "fault: ${file}: includes ${named}, which is not installed")
      math(EXPR bad "${bad} + 1")
    endif()
  endforeach()
endforeach()
if(headers EQUAL 0)
  message(FATAL_ERROR "no headers under ${INCLUDE}")
endif()
message(STATUS "${headers} installed headers, ${bad} faults")
if(bad)
  message(FATAL_ERROR "the install holds headers that a program cannot use")
endif()
