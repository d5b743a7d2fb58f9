#!/usr/bin/env bash
# Builds Parlotext with its tests (installing what they need when missing) and runs the
# whole suite. Warnings are errors here. Ends with ctest's summary. With --sanitizers it then
# also runs the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/sanitize.sh), and ends with that run's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
cmake --preset ci >/dev/null
cmake --build --preset ci
ctest --preset ci
if [ "${1:-}" = "--sanitizers" ]; then
  bash scripts/sanitize.sh
fi
