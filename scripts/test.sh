#!/usr/bin/env bash
# Installs what the tests need, builds Korvane twice (plain, then with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

# Built for speed of a fresh build: several files of a folder in one compiler run, so Qt's
# headers are parsed far fewer times (a file's own helpers must therefore have names that no other
# file of its folder uses), the LLVM linker, which links the many test programs in a fraction of
# the time, no debug information in the plain build, and only line tables in the sanitized one
# (enough for the sanitizers' reports to name file and line).
FAST=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
bash scripts/build.sh build "${FAST[@]}" -DCMAKE_BUILD_TYPE=Release
ctest --test-dir build --timeout 600 -j2

bash scripts/build.sh build-asan "${FAST[@]}" -DKORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --timeout 900 -j2
