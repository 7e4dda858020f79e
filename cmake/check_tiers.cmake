# Scans the #include lines of every source file of the tiers against the tier table
# (cmake/VornTierTable.cmake) and fails naming each include from a folder the file's tier may not
# use. The examples build against the installed package, so they may name a tier only under
# "vorn/".
#   cmake -DROOT=<source dir> -P check_tiers.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/VornTierTable.cmake)
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source dir> -P check_tiers.cmake")
endif()
# A ROOT such as "." is taken from the folder cmake runs in; the globs below match only
# absolute, normalised patterns.
cmake_path(ABSOLUTE_PATH ROOT BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" NORMALIZE)
string(REGEX REPLACE "(.)/$" "\\1" ROOT "${ROOT}")

set(known ${VORN_TIER_FOLDERS})
set(bad 0)
set(scanned 0)
foreach(folder IN LISTS VORN_TIER_FOLDERS ITEMS examples)
  if(folder STREQUAL "examples")
    set(allowed)
  else()
    set(allowed ${VORN_TIER_${folder}})
  endif()
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    math(EXPR scanned "${scanned} + 1")
    file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][A-Za-z_]+/")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "[\"<]([A-Za-z_]+)/" _ "${line}")
      set(used ${CMAKE_MATCH_1})
      if(used IN_LIST known AND NOT used IN_LIST allowed)
        message(SEND_ERROR "${file}: includes from ${used}/, above its tier: ${line}")
        math(EXPR bad "${bad} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()
if(scanned EQUAL 0)
  message(FATAL_ERROR "no source files under ${ROOT}")
endif()
message(STATUS "${scanned} files scanned, ${bad} includes across the tiers")
