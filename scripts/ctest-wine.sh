#!/usr/bin/env bash
# Runs the win64 tests under Wine; expects a display (run it inside xvfb-run).
# BUILD_DIR names another win64 build folder than the preset's; extra arguments go to ctest.
# A test may run up to three times: the window tests share one desktop (focus, capture, activation) with
# the others running beside them, and a test that loses the mouse to another program's window is run again.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
wine_up
trap wine_down EXIT
if [ -n "${BUILD_DIR:-}" ]; then
  ctest --test-dir "$BUILD_DIR" --output-on-failure -j 8 --timeout 120 --repeat until-pass:3 "$@"
else
  ctest --preset win64 "$@"
fi
