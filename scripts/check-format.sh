#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a tracked C++ file under src, tests, bench or fuzz differs from what
# the project's .clang-format makes of it, naming each such file.
# `cmake --build build --target format` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing: scripts/deps.sh installs it (Debian package clang-format)" >&2
  exit 1
fi
# git's pathspecs let * cross folders, so these take every depth.
git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' |
  xargs -0 -r clang-format --dry-run -Werror
echo "clang-format: every file matches .clang-format"
