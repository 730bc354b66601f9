#!/usr/bin/env bash
# The tool window's drag loop under Wine and Xvfb: a floating tool window dragged along a path of cursor
# steps through the loop, and a plain window moved along the same steps with SetWindowPos, in alternating
# rounds of one run (target: the drag at most 3x per step), and the GDI objects before and after (flat).
# Prints PASS or FAIL.
# Usage: scripts/bench-tooldrag.sh [steps, default 1000]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start tooldrag_bench -- "$@"
wine "$BUILD_DIR/bench/tooldrag_bench.exe" "${1:-1000}" </dev/null
