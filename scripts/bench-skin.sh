#!/usr/bin/env bash
# The skinned frame under Wine and Xvfb: a window wearing our skin and one with the system's frame, each
# repainted by frame repaints in one run (target: the skinned one at most 2x), then the process's GDI
# objects over the repaints and over resizes of the skinned window (target: flat). Prints one line per
# measurement with PASS or FAIL.
# Usage: scripts/bench-skin.sh [repaints, default 1000] [resizes, default 200]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start skin_bench -- "$@"
wine "$BUILD_DIR/bench/skin_bench.exe" "$(win resources/skin/Calderine.skn)" "${1:-1000}" "${2:-200}" </dev/null
