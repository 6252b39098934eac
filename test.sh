#!/usr/bin/env bash
# Installs what the tests need, builds everything from scratch with AddressSanitizer and
# UBSan in build-test/, and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
tools/packages.sh test
rm -rf build-test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=ON
cmake --build build-test -j"$(nproc)"
# The font libraries keep caches for the life of the process: tests/lsan.supp names them.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The data-file readers and the registry file under libFuzzer, each for a bounded time, in
# a clang build of its own.
rm -rf build-fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_FUZZ=ON \
  -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target fuzz_season fuzz_standings fuzz_roster \
  fuzz_registry_file
for reader in season standings roster registry_file; do
  corpus=$(mktemp -d)
  case $reader in
    season) cp res/data/Season.dat "$corpus/" ;;
    standings) cp res/data/Standings.dat "$corpus/" ;;
    roster) cp res/data/Roster.dat "$corpus/" ;;
    registry_file) printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Vellmore\\tarnwick]\r\n"Install"="/usr/share/tarnwick"\r\n"Team"=dword:00000004\r\n' >"$corpus/sample.reg" ;;
  esac
  SDL_VIDEODRIVER=offscreen build-fuzz/fuzz/fuzz_$reader -max_total_time=20 -max_len=4096 \
    -print_final_stats=0 -artifact_prefix="$PWD/build-fuzz/" "$corpus"
  rm -rf "$corpus"
done

# Every test, last, so that its summary closes the output.
cd build-test
ctest --output-on-failure --timeout 300 -j2
