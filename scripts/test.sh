#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs every test: once in an
# optimised build and once under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
JOBS=${JOBS:-$(nproc)}

scripts/setup.sh build-test -DVIDORA_WERROR=ON -DCMAKE_BUILD_TYPE=Release
cmake --build build-test -j "$JOBS"
ctest --test-dir build-test --output-on-failure -j "$JOBS"

scripts/setup.sh build-asan -DVIDORA_WERROR=ON -DVIDORA_SANITIZE=address -DVIDORA_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j "$JOBS"
