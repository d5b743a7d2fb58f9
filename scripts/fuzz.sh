#!/usr/bin/env bash
# Builds the fuzzers (installing clang and what the build needs when missing):
#   bash scripts/fuzz.sh
# and runs one of them for a number of seconds (default 600) on a copy of its seed corpus:
#   bash scripts/fuzz.sh jsonreformat 600
# A crashing input lands in build/fuzz/findings/; the run then exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

if [ "$#" -eq 0 ]; then
  echo "Fuzzers built in build/fuzz/fuzz/:" $(cd fuzz/corpus && ls)
  exit 0
fi
name="$1"
seconds="${2:-600}"
if [ ! -x "build/fuzz/fuzz/${name}_fuzzer" ]; then
  echo "No fuzzer named $name; the fuzzers are:" $(cd fuzz/corpus && ls) >&2
  exit 2
fi
corpus="build/fuzz/corpus/$name"
mkdir -p "$corpus" build/fuzz/findings
# The fuzzers that read files write them to a temporary folder; memory is quicker than disk.
export TMPDIR="${TMPDIR:-/dev/shm}"
exec "build/fuzz/fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$name-" "$corpus" "fuzz/corpus/$name"
