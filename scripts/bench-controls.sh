#!/usr/bin/env bash
# The control painters under Wine and Xvfb: every painted control of the program's editor repainted with
# its painter on and off in one run (target: painted at most 2x), then the process's GDI objects over the
# painted repaints (target: flat). Prints one line per measurement with PASS or FAIL.
# Usage: scripts/bench-controls.sh [repaints, default 1000]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start controls_bench -- "$@"
wine "$BUILD_DIR/bench/controls_bench.exe" "${1:-1000}" </dev/null
