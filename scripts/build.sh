#!/usr/bin/env bash
# Configures and builds Qorvane and its tests into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "build: configuring"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
echo "build: compiling"
cmake --build build -j"$(nproc)"
