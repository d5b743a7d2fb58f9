#!/usr/bin/env bash
# Prints what a screen reader is told about Parlotext's windows: starts a virtual display,
# a session bus with the accessibility bus, and the built program with no network, then
# walks its accessible tree (scripts/accessibility_tree.py). A check by hand, not a test.
#   bash scripts/accessibility_tree.sh [path/to/parlotext]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/packages.sh"
install_missing_packages "${BENCH_PACKAGES[@]}" "${ACCESSIBILITY_PACKAGES[@]}"
program="${1:-$here/../build/ci/src/app/parlotext}"
program="$(readlink -f "$program")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A copy of the program with its languages, so that its settings.ini lands in a
# throw-away folder.
cp "$program" "$work/parlotext"
cp -r "$(dirname "$program")/Languages" "$work/" 2>/dev/null || true

exec unshare -n -- dbus-run-session -- bash -c '
  set -euo pipefail
  display=:$((RANDOM % 200 + 300))
  Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=$display
  sleep 1
  openbox >/dev/null 2>&1 &
  wm=$!
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
  export XDG_RUNTIME_DIR="'"$work"'"
  "'"$work"'/parlotext" >/dev/null 2>&1 &
  program=$!
  status=0
  /usr/bin/python3 "'"$here"'/accessibility_tree.py" || status=$?
  kill "$program" "$wm" "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  exit $status
'
