#!/usr/bin/env bash
# Runs the win64 tests under Wine; expects a display (run it inside xvfb-run).
# BUILD_DIR names another win64 build folder than the preset's; extra arguments go to ctest.
# Every test runs once. The tests that use the real mouse, keyboard, focus or foreground window hold the
# "desktop" resource lock (tests/CMakeLists.txt), so none of them runs beside another.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
wine_up
# What the wineserver said during the run (nothing, normally) is shown at the end.
server_said() {
  wine_down
  if [ -s "$WINEPREFIX/wineserver.log" ]; then
    echo "== the wineserver said:" >&2
    cat "$WINEPREFIX/wineserver.log" >&2
  fi
}
trap server_said EXIT
if [ -n "${BUILD_DIR:-}" ]; then
  ctest --test-dir "$BUILD_DIR" --output-on-failure -j 8 --timeout 120 "$@"
else
  ctest --preset win64 "$@"
fi
