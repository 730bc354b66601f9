#!/usr/bin/env bash
# Idle CPU of Pellwick under Wine and Xvfb: with no task, with a count-down running and while waiting for
# a time of day (target under 1% of one core in each). Prints one line per state with PASS or FAIL.
# The tasks are a day away: nothing is powered off.
# Usage: scripts/bench-pellwick.sh [seconds per measurement, default 10]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build/win64-release}"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/bench-wineprefix}"

if [ -z "${HK_BENCH_INNER:-}" ]; then
  bash scripts/deps.sh
  [ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64-release -B "$BUILD_DIR" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target Pellwick pellwick_bench
  # Again inside a display of its own.
  exec env HK_BENCH_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

source scripts/wine-env.sh
wine_up
trap wine_down EXIT
win() { winepath -w "$1" 2>/dev/null; }
wine "$BUILD_DIR/bench/pellwick_bench.exe" "$(win "$BUILD_DIR/timer/Pellwick.exe")" "${1:-10}" </dev/null
