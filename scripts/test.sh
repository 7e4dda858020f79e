#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; says how long each took.
set -euo pipefail
cd "$(dirname "$0")/.."
phase() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}
phase "packages" scripts/install-deps.sh
phase "build" scripts/build.sh
cd build
# Four at a time on two cores: many tests wait on a server, a process or the network.
phase "tests" env QT_QPA_PLATFORM=offscreen ctest -j4 --output-on-failure --timeout 300
