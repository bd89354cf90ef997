#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs every test: once in an
# optimised build and once under AddressSanitizer + UndefinedBehaviorSanitizer, and the event-delivery suites
# under ThreadSanitizer.
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

# The event serializers and the stand-in services' event threads once more under ThreadSanitizer. The
# simulator-tool tests are left out here: their server runs on a Qt-managed thread whose synchronisation
# ThreadSanitizer cannot see (Qt is not instrumented).
scripts/setup.sh build-tsan -DVIDORA_WERROR=ON -DVIDORA_SANITIZE=thread -DVIDORA_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug
cmake --build build-tsan -j "$JOBS" --target services_tests granite_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/bin/services_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build-tsan/bin/granite_tests --gtest_filter='-SimulatorTool*'
