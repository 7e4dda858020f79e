# Precompiled headers. Most of a file's compile time here is Qt's and GoogleTest's headers, so
# each kind of target below gets them precompiled once, and every target of that kind reuses
# that one precompiled header (the defines that differ between targets, such as the path of
# the server program, do not touch these headers).
#   widgets  the Qt tiers (toolkit and above)
#   tests    the test programs: Qt Core, GoogleTest and GoogleMock
#   guitests the GUI test programs: the above with Qt Widgets
option(VORN_PCH "Precompile the Qt and GoogleTest headers" ON)

# The test programs' own code is compiled at -O1 in optimised builds: about a fifth less compile
# time for the largest part of the build, while the libraries under test stay as they ship.
# Their precompiled headers are made the same way, so that the two match.
set(VORN_TEST_OPTIMIZATION $<$<AND:$<CONFIG:RelWithDebInfo,Release>,$<CXX_COMPILER_ID:GNU,Clang>>:-O1>)

set(VORN_PCH_widgets <QObject> <QString> <QStringList> <QPointer> <QWidget> <QApplication>
  <QLineEdit> <functional> <memory> <string> <vector> <map>)
set(VORN_PCH_tests <QObject> <QString> <QStringList> <functional> <memory> <string> <vector>
  <map> <gtest/gtest.h> <gmock/gmock.h>)
# Not Qt Test: its headers read a define that differs between test folders.
set(VORN_PCH_guitests ${VORN_PCH_widgets} <gtest/gtest.h> <gmock/gmock.h>)

# vorn_use_pch(<target> widgets|tests|guitests)
function(vorn_use_pch target kind)
  if(NOT VORN_PCH)
    return()
  endif()
  set(pch vorn_pch_${kind})
  if(NOT TARGET ${pch})
    set(source ${PROJECT_BINARY_DIR}/pch/${kind}.cpp)
    if(NOT EXISTS ${source})
      file(WRITE ${source} "// The target that compiles the shared precompiled header.\n")
    endif()
    add_library(${pch} STATIC ${source})
    set_target_properties(${pch} PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)
    if(kind STREQUAL "widgets")
      target_link_libraries(${pch} PRIVATE Qt6::Widgets Qt6::PrintSupport)
    elseif(kind STREQUAL "tests")
      target_link_libraries(${pch} PRIVATE Qt6::Core GTest::gmock GTest::gtest)
    else()
      target_link_libraries(${pch} PRIVATE Qt6::Widgets Qt6::PrintSupport GTest::gmock GTest::gtest)
    endif()
    target_precompile_headers(${pch} PRIVATE ${VORN_PCH_${kind}})
    if(NOT kind STREQUAL "widgets")
      target_compile_options(${pch} PRIVATE ${VORN_TEST_OPTIMIZATION})
    endif()
  endif()
  target_precompile_headers(${target} REUSE_FROM ${pch})
endfunction()
