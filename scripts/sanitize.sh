#!/usr/bin/env bash
# Builds the test suite with AddressSanitizer and UndefinedBehaviorSanitizer (the asan
# preset) and runs all of it; the first report of either stops the test that made it, and
# fails the run. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake --preset asan >/dev/null
cmake --build --preset asan
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
ctest --preset asan
