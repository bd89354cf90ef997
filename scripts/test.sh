#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs every test: once in an
# optimised build, the event-delivery and main-window suites again repeatedly and in parallel (to shake out
# ordering faults that only show under load), once under AddressSanitizer + UndefinedBehaviorSanitizer, and
# the event-delivery suites under ThreadSanitizer. Each stage's time is printed at the end, also on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
JOBS=${JOBS:-$(nproc)}
# The stress stage: which suites (labels are the test folders), how many passes, and how many tests at once
# (more than the cores, on purpose).
STRESS_LABELS=${STRESS_LABELS:-'^(ribbon|services)$'}
STRESS_REPEAT=${STRESS_REPEAT:-5}
STRESS_JOBS=${STRESS_JOBS:-$((2 * JOBS))}

# The sanitizer builds keep line tables only: reports still name file and line, and the build is faster.
SANITIZER_DEBUG_FLAGS=${SANITIZER_DEBUG_FLAGS:-'-g1'}

STAGE_TIMES=()
stage() {
    local name=$1
    shift
    local start=$SECONDS
    echo "== $name"
    "$@"
    STAGE_TIMES+=("$(printf '%-44s %5d s' "$name" $((SECONDS - start)))")
}
report_times() {
    local status=$?
    echo
    echo "Stage times ($((SECONDS / 60)) min $((SECONDS % 60)) s in all):"
    for line in "${STAGE_TIMES[@]}"; do echo "  $line"; done
    return $status
}
trap report_times EXIT

stage "install and configure (optimised)" \
    scripts/setup.sh build-test -DVIDORA_WERROR=ON -DCMAKE_BUILD_TYPE=Release
stage "build (optimised)" cmake --build build-test -j "$JOBS"
stage "tests (optimised)" ctest --test-dir build-test --output-on-failure -j "$JOBS"
stage "stress: event delivery and main window" \
    ctest --test-dir build-test --output-on-failure -L "$STRESS_LABELS" -j "$STRESS_JOBS" \
    --repeat "until-fail:$STRESS_REPEAT" --no-tests=error

stage "configure (address sanitizer)" \
    scripts/setup.sh build-asan -DVIDORA_WERROR=ON -DVIDORA_SANITIZE=address -DVIDORA_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=$SANITIZER_DEBUG_FLAGS"
stage "build (address sanitizer)" cmake --build build-asan -j "$JOBS"
# What GLib and PulseAudio keep until exit is suppressed by library (scripts/lsan.supp): the libraries have
# no frame pointers, so the fast unwinder stops in them, and full stacks would make every test ten times slower.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# LeakSanitizer's tracer now and then crashes while it stops the threads at exit ("Tracer caught signal 11"),
# a fault of the tool, not of the test. When every failed test failed that way, those tests run once more;
# any other failure fails the stage at once.
asan_tests() {
    local log=build-asan/asan-tests.log
    ctest --test-dir build-asan --output-on-failure -j "$JOBS" --output-log "$log" && return 0
    local failed tracer
    failed=$(sed -n 's/.* \([0-9]\+\) tests failed out of.*/\1/p' "$log" | tail -1)
    tracer=$(grep -c 'LeakSanitizer has encountered a fatal error' "$log" || true)
    if [[ -z $failed || $failed -eq 0 || $tracer -ne $failed ]]; then return 1; fi
    echo "== $failed test(s) lost to a LeakSanitizer tracer crash; running them again"
    ctest --test-dir build-asan --output-on-failure --rerun-failed
}
stage "tests (address sanitizer)" asan_tests

# The event serializers and the stand-in services' event threads once more under ThreadSanitizer. The
# simulator-tool tests are left out here: their server runs on a Qt-managed thread whose synchronisation
# ThreadSanitizer cannot see (Qt is not instrumented). The camera-timing tests likewise: the simulated
# camera's timer thread waits on a Qt wait condition whose destruction ThreadSanitizer reports.
# The sound-playing tests also: GStreamer (not instrumented) takes its own locks in orders ThreadSanitizer
# reports as inversions. And the effect-package tests: Qt decodes their pictures on its own pooled threads.
stage "configure (thread sanitizer)" \
    scripts/setup.sh build-tsan -DVIDORA_WERROR=ON -DVIDORA_SANITIZE=thread -DVIDORA_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=$SANITIZER_DEBUG_FLAGS"
stage "build (thread sanitizer)" cmake --build build-tsan -j "$JOBS" --target services_tests granite_tests
# The real sound server's tests start the daemon and pactl from a process that already has threads.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$PWD/scripts/tsan.supp
stage "tests (thread sanitizer): services" build-tsan/bin/services_tests
stage "tests (thread sanitizer): granite" build-tsan/bin/granite_tests --gtest_filter='-SimulatorTool*:CameraTiming*:PulseSound*:EffectPackage*'
