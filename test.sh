#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build with all tests, then
# the decoder and friends under AddressSanitizer/UndefinedBehaviorSanitizer, the sound layer
# under ThreadSanitizer, the fuzz targets, and the Windows zip played under Wine. Exits
# non-zero on any failure. For a quicker local run, ./test.sh --no-windows leaves out the
# Windows step (CI runs everything).
set -euo pipefail
windows=1
[ "${1:-}" = --no-windows ] && windows=
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc)
run_suite() {  # run_suite build-folder "ctest arguments" cmake-options...
    local dir=$1 filter=$2
    shift 2
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    # shellcheck disable=SC2086
    (cd "$dir" && ctest --output-on-failure $filter)
}

# Tests that start X servers and play the game run one at a time: the machine is small.
run_suite build ""
run_suite build-asan "-L sanitize" -DVELMORA_SANITIZE=address,undefined -DVELMORA_ASSETS=OFF
run_suite build-tsan "-L tsan" -DVELMORA_SANITIZE=thread -DVELMORA_ASSETS=OFF
# The datafile fuzzer is seeded with the normal build's velmora.dat among others.
CXX=clang++-14 CC=clang-14 run_suite build-fuzz "-L fuzz" -DVELMORA_FUZZ=ON -DVELMORA_ASSETS=OFF \
    -DVELMORA_FUZZ_DATAFILE="$PWD/build/game/velmora.dat"
if [ -n "$windows" ]; then
    scripts/build-windows.sh --test  # the Windows zip, cross-built, then played under Wine
    echo "test.sh: all tests passed"
else
    echo "test.sh: all tests passed (the Windows step left out)"
fi
