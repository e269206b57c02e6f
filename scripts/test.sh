#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through ctest.
# Every test runs headless and twice (two time zones); nothing opens the
# machine's own serial ports: tests talk to the instrument simulator only.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVELIN_WERROR=ON
cmake --build "$BUILD_DIR" -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software ORVELIN_PORTS=
cd "$BUILD_DIR"
ctest --output-on-failure -j"${CTEST_JOBS:-2}" "$@"
