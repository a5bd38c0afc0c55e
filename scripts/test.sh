#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and
# runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_WERROR=ON
cmake --build build-ci
cd build-ci
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j2
