#!/usr/bin/env bash
# Builds the Debian package of the libraries, headers, CMake package, Designer plugin and
# programs into build/ (vorn_VERSION_ARCH.deb) and lists what it holds and depends on.
set -euo pipefail
cd "$(dirname "$0")/.."
VORN_WITH_PACKAGING=1 scripts/install-deps.sh
scripts/build.sh
cd build
cpack -G DEB
deb=$(ls -t vorn_*.deb | head -1)
dpkg-deb -I "$deb"
echo "Built build/$deb"
