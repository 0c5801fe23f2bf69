#!/usr/bin/env bash
# Installs what the tests need, builds Korvane twice (plain, then with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

# One compiler run for several files of a folder: a fresh build parses Qt's headers far fewer
# times. A file's own helpers must therefore have names that no other file of its folder uses.
bash scripts/build.sh build -DCMAKE_UNITY_BUILD=ON
ctest --test-dir build --timeout 600 -j2

bash scripts/build.sh build-asan -DCMAKE_UNITY_BUILD=ON -DKORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --timeout 900 -j2
