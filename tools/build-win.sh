#!/usr/bin/env bash
# Configures the Windows build (MinGW-w64) in build/win and builds the given
# targets: build-win.sh [TARGET...]   (MirthTool by default)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build/win -j"$(nproc)" --target "${@:-MirthTool}"
