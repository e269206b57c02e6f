#!/usr/bin/env bash
# Builds the Debian packages orvelin (the application) and orvelin-cli (the
# command line and the simulator) into build-package/; their library
# dependencies are found by dpkg-shlibdeps. Install them with
#   sudo apt install ./build-package/orvelin*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build-package}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build "$BUILD_DIR" -j"$(nproc)" --target orvelin orvelin-cli zr-sim
(cd "$BUILD_DIR" && cpack -G DEB)
for deb in "$BUILD_DIR"/*.deb; do
  echo "== $deb"
  dpkg-deb --field "$deb" Package Version Depends
done
