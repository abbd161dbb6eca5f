#!/bin/bash
# Applies each deliberate fault in turn, runs the whole suite and lists the tests that fail.
# Usage: tests/mutations/run.sh [patch-name-prefix...]   (BUILD=folder, TIMEOUT=seconds per test)
set -u
cd "$(dirname "$0")/../.."
build=$(realpath -m "${BUILD:-build-mutations}")
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null || exit 2
patches=()
if [ $# -eq 0 ]; then patches=(tests/mutations/*.patch); else for p; do patches+=(tests/mutations/"$p"*.patch); done; fi
current=
revert() { [ -z "$current" ] || git apply -R "$current"; current=; }
trap revert EXIT
trap 'exit 130' INT TERM
missed=0
table="patch | failing tests"
for patch in "${patches[@]}"; do
    git apply "$patch" || exit 2
    current=$patch
    rm -f "$build/Testing/Temporary/LastTestsFailed.log"
    if ! cmake --build "$build" -j2 >"$build/mutation-build.log" 2>&1; then
        failing="(does not build)"
    else
        (cd "$build" && ctest -j2 --timeout "${TIMEOUT:-180}" >"$build/mutation-ctest.log" 2>&1)
        failing=$(cut -d: -f2 "$build/Testing/Temporary/LastTestsFailed.log" 2>/dev/null | tr '\n' ' ')
    fi
    revert
    [ -z "$failing" ] && failing="NOT CAUGHT" && missed=1
    table+=$'\n'"$(basename "$patch" .patch) | $failing"
    echo "$(basename "$patch" .patch) | $failing" >&2
done
cmake --build "$build" -j2 >/dev/null 2>&1 # leave the build matching the unpatched code
echo "$table"
exit $missed
