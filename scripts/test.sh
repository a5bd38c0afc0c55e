#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, checks the formatting, builds everything with
# warnings as errors and runs every test with ctest; then builds again with
# AddressSanitizer and UBSan (benchmarks left out) and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
step() { echo "== $1 ($((SECONDS / 60)) min $((SECONDS % 60)) s since start)"; }

step "packages"
scripts/deps.sh
step "formatting"
scripts/check-format.sh

step "build with warnings as errors"
cmake -S . -B build-ci -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_WERROR=ON
cmake --build build-ci
step "tests"
(cd build-ci && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j2)

# The sanitizer run: a memory error or undefined behaviour ends the test that
# met it (UBSan is built not to recover; abort_on_error makes every finding a
# plain crash of the test). Leaks are reported only for the widget-free
# layers, whose programs run under a QCoreApplication and end with nothing
# left over: in the window tests Qt's plugin loader, fontconfig and the
# offscreen platform keep caches alive until exit on purpose, and naming each
# of them in a suppression list would tie CI to those libraries' versions.
step "build with AddressSanitizer and UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_WERROR=ON \
  -DVELTRANO_SANITIZE=ON -DVELTRANO_BENCH=OFF
cmake --build build-asan
step "tests under the sanitizers"
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j2)
step "leak check of the widget-free layers"
for t in build-asan/tests/test_store_model build-asan/tests/test_shell_core; do  # verified leak-free; others to follow
  [ -f "$t" ] && [ -x "$t" ] || continue
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen "$t" --gtest_brief=1
done
step "done"
