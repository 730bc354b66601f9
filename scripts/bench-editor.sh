#!/usr/bin/env bash
# The editor with a 10,000-entry definitions file under Wine and Xvfb: open and show to the table painted
# (target under 1 s), a column click to the rows sorted and painted (target under 200 ms), and the cost of
# registering the combinations when they are all active. Prints one line per measurement with PASS or FAIL.
# Usage: scripts/bench-editor.sh [runs per measurement, default 7]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build/win64-release}"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/bench-wineprefix}"

if [ -z "${HK_BENCH_INNER:-}" ]; then
  bash scripts/deps.sh
  [ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64-release -B "$BUILD_DIR" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target editor_bench
  # Again inside a display of its own.
  exec env HK_BENCH_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

source scripts/wine-env.sh
wine_up
trap wine_down EXIT
# The benchmark keeps its settings and files beside itself.
(cd "$BUILD_DIR/bench" && wine ./editor_bench.exe "${1:-7}" </dev/null)
