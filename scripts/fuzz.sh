#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each: first its kept regression
# inputs, then new inputs for FUZZ_SECONDS (default 30). A crash fails the script
# and leaves the input under build-fuzz/artifacts/ to be kept in tests/fuzz/regressions/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"
echo "fuzz: building with clang"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORVANE_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)"
mkdir -p build-fuzz/artifacts
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
status=0
for target in fuzz_profile fuzz_address_file fuzz_cp932 fuzz_transparency fuzz_convert fuzz_site_rewrite fuzz_address_scanner; do
    corpus="build-fuzz/corpus/$target"
    mkdir -p "$corpus"
    regressions="tests/fuzz/regressions/$target"
    if [ -d "$regressions" ]; then
        echo "fuzz: $target, regression inputs"
        "build-fuzz/tests/fuzz/$target" "$regressions"/* >/dev/null 2>&1 || { echo "fuzz: $target fails a kept input"; status=1; }
    fi
    # Seed pages and a dictionary, where a target has them, lead it to the markup it must read exactly.
    extra=()
    [ -f "tests/fuzz/$target.dict" ] && extra+=(-dict="tests/fuzz/$target.dict")
    [ -d "tests/fuzz/seeds/$target" ] && extra+=("tests/fuzz/seeds/$target")
    echo "fuzz: $target, ${seconds}s"
    if ! "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/artifacts/$target-" "$corpus" "${extra[@]}" > "build-fuzz/$target.log" 2>&1; then
        echo "fuzz: $target found a failure:"
        grep -E 'ERROR|SUMMARY|^input|^output|Test unit written' "build-fuzz/$target.log" | head -20
        status=1
    else
        grep -E '^Done' "build-fuzz/$target.log"
    fi
done
exit $status
