#!/usr/bin/env bash
# Idle CPU of Pellwick under Wine and Xvfb: with no task, with a count-down running and while waiting for
# a time of day (target under 1% of one core in each). Prints one line per state with PASS or FAIL.
# The tasks are a day away: nothing is powered off.
# Usage: scripts/bench-pellwick.sh [seconds per measurement, default 10]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start Pellwick pellwick_bench -- "$@"
wine "$BUILD_DIR/bench/pellwick_bench.exe" "$(win "$BUILD_DIR/timer/Pellwick.exe")" "${1:-10}" </dev/null
