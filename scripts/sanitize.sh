#!/usr/bin/env bash
# Builds everything into build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite there. Any arguments go to ctest (e.g. -R output_tests).
set -euo pipefail
cd "$(dirname "$0")/.."
# -O1 is the usual level for AddressSanitizer; line tables give its reports files and lines.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" >/dev/null
cmake --build build-asan -j"${VORN_JOBS:-2}"
cd build-asan
# Leaks are checked too; the first error of either sanitizer ends the test program.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}"
# GT.M's library keeps memory for the life of the process; nothing else is passed over.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(pwd)/../scripts/lsan-suppressions.txt}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Sanitized programs run several times slower than the usual build.
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure --timeout 1500 "$@"
