#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each for a while.
# build-fuzz is a build of its own: inside build/ it would take the place of the main build's
# fuzz/ folder, and `cmake --install build` would then miss that build's files.
#   scripts/fuzz.sh [SECONDS-PER-TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
VORN_WITH_CLANG=1 scripts/install-deps.sh
seconds=${1:-60}
CXX=clang++ cmake -S . -B build-fuzz -DVORN_FUZZ=ON -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz/corpus && ls)
for t in $targets; do cmake --build build-fuzz -j2 --target "fuzz_$t" >/dev/null; done
for t in $targets; do
  work=build-fuzz/corpus/$t
  mkdir -p "$work"
  echo "== fuzz_$t for ${seconds}s"
  build-fuzz/bin/fuzz_$t -max_total_time="$seconds" -print_final_stats=1 "$work" "fuzz/corpus/$t"
done
