#!/usr/bin/env bash
# Fuzzes the table-file reader (fuzz/table_file_fuzz.cpp) with clang's
# libFuzzer under AddressSanitizer and UBSan, starting from fuzz/corpus.
#   scripts/fuzz.sh [seconds]      (default 600)
# Builds in build-fuzz/ (clang; only the reader and what it links), keeps
# what the fuzzer finds new in build-fuzz/fuzz-corpus and writes inputs that
# crash, leak, hang or break the reader's bounds to build-fuzz/fuzz-findings/.
# Copy a finding into fuzz/corpus once it is mended: the normal build's
# table_file_fuzz_replay test then replays it for good.
# The machine may be shared: the fuzzer runs at the lowest priority.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"

# clang and its fuzzer runtime are needed here only, not by the program's
# build or tests, so they are installed by this script rather than deps.sh.
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELTRANO_FUZZ=ON -DVELTRANO_SANITIZE=ON -DVELTRANO_TESTS=OFF -DVELTRANO_BENCH=OFF >/dev/null
nice -n 19 cmake --build build-fuzz --target table_file_fuzz

mkdir -p build-fuzz/fuzz-corpus build-fuzz/fuzz-findings
# One input may take a few hundred ms (a package that unpacks to the
# bound); ten seconds is a hang. 2 GB is far past what a read may hold.
nice -n 19 build-fuzz/fuzz/table_file_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix=build-fuzz/fuzz-findings/ \
  build-fuzz/fuzz-corpus fuzz/corpus
