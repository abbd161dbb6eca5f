#!/usr/bin/env bash
# Configures and builds Qorvane and its tests into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "build: configuring"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
echo "build: compiling"
cmake --build build -j"$(nproc)"
