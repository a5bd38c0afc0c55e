#!/usr/bin/env bash
# Fails when a tracked C++ file under src, tests or bench differs from what
# the project's .clang-format makes of it. `cmake --build build --target
# format` rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' |
  xargs -0 clang-format --dry-run -Werror
echo "clang-format: every file matches .clang-format"
