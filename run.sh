#!/usr/bin/env bash
# Builds Tarnwick (Release), installs it into ${PREFIX:-$HOME/.local}, registers the
# bundled data with tarnwick-install and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/packages.sh run
PREFIX="${PREFIX:-$HOME/.local}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=OFF
cmake --build build -j"$(nproc)"
cmake --install build --prefix "$PREFIX"
"$PREFIX/bin/tarnwick-install" "$PREFIX"
exec "$PREFIX/bin/tarnwick"
