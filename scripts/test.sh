#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless: the
# tests, the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer,
# and the fuzz targets for a bounded time each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
echo "test: running ctest"
(cd build && ctest --output-on-failure -j"$(nproc)")

echo "test: building with sanitizers"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQORVANE_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$(nproc)"
echo "test: running ctest with sanitizers"
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

bash scripts/fuzz.sh

count() { (cd "$1" && ctest -N | sed -n 's/^Total Tests: //p'); }
fuzzers=$(ls tests/fuzz/fuzz_*.cpp | wc -l)
total=$(( $(count build) + $(count build-asan) + fuzzers ))
echo "test: $total passed, 0 failed"
