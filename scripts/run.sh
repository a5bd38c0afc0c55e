#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program and starts it. Without a
# display it starts under a virtual X server (nothing is visible then; this
# is for machines without a desktop).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_TESTS=OFF -DVELTRANO_BENCH=OFF
cmake --build build --target veltrano
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under Xvfb (xvfb-run). Run this on a desktop to see the program."
  exec xvfb-run -a -s "-screen 0 1366x768x24" build/veltrano "$@"
fi
exec build/veltrano "$@"
