#!/usr/bin/env bash
# Builds Parlotext (installing what the build needs when missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
cmake --preset release >/dev/null
cmake --build --preset release

# Without a display the toolkit would abort with a long report; say it in one line instead.
no_display() {
  echo "Parlotext is built (build/release/src/app/parlotext) but cannot start: $1" >&2
  exit 1
}
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  if [ -z "${DISPLAY:-}" ]; then
    no_display "this machine has no graphical display (DISPLAY and WAYLAND_DISPLAY are unset)."
  fi
  case "$DISPLAY" in
    :*)
      number="${DISPLAY#:}"
      number="${number%%.*}"
      [ -S "/tmp/.X11-unix/X$number" ] || no_display "the display $DISPLAY is not running."
      ;;
  esac
fi
exec ./build/release/src/app/parlotext
