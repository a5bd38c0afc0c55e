#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything with
# warnings as errors and runs every test with ctest; then builds again with
# AddressSanitizer and UBSan (benchmarks left out) and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/check-format.sh

cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_WERROR=ON
cmake --build build-ci
(cd build-ci && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j2)

# The sanitizer run: any memory error or undefined behaviour ends the test
# that met it. Leak reports are off: Qt, fontconfig and the platform plugin
# keep caches alive until exit by design, and those reports would hide the
# errors that matter.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_WERROR=ON \
  -DVELTRANO_SANITIZE=ON -DVELTRANO_BENCH=OFF
cmake --build build-asan
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j2)
