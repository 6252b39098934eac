#!/usr/bin/env bash
# Installs what the tests need, builds everything from scratch with AddressSanitizer and
# UBSan in build-test/, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
tools/packages.sh test
rm -rf build-test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=ON
cmake --build build-test -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-test
ctest --output-on-failure --timeout 300 -j2
