#!/usr/bin/env bash
# Builds the benchmarks (installing what they need when missing) and runs them all, or the
# ones named: bash scripts/bench.sh startup_bench
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
cmake --preset bench >/dev/null
cmake --build --preset bench
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
benchmarks=("$@")
if [ "${#benchmarks[@]}" -eq 0 ]; then
  mapfile -t benchmarks < <(find build/bench/bench -maxdepth 1 -type f -name '*_bench' -executable -printf '%f\n' | sort)
fi
for benchmark in "${benchmarks[@]}"; do
  echo "== $benchmark"
  "./build/bench/bench/$benchmark"
done
