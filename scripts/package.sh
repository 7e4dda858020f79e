#!/usr/bin/env bash
# Builds the Debian packages into build-package/ (shared libraries, installed under /usr) and
# checks them with lintian:
#   libvorn0               the toolkit's shared libraries
#   libvorn-dev            headers, the CMake package and the example
#   vorn-server            the development server and vorn-rpc
#   vorn-labtest           the demo application
#   vorn-designer-plugin   the Qt Designer plugin
set -euo pipefail
cd "$(dirname "$0")/.."
VORN_WITH_PACKAGING=1 scripts/install-deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_SHARED_LIBS=ON \
  -DCMAKE_INSTALL_PREFIX=/usr -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF >/dev/null
cmake --build build-package -j2
cd build-package
rm -f ./*.deb
cpack -G DEB >cpack.log
for deb in ./*.deb; do
  echo "== $deb"
  dpkg-deb -f "$deb" Package Version Depends
done
# Errors fail the script; the warnings left are listed in the README ("Installing Vorn").
lintian --fail-on error ./*.deb
echo "Built build-package/*.deb"
