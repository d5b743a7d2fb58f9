#!/usr/bin/env bash
# Builds Parlotext (installing what the build needs when missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Parlotext needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  exit 1
fi

install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release
exec ./build/release/src/app/parlotext
