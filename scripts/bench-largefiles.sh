#!/usr/bin/env bash
# Hotkeys with definitions files of 1,000 to 1,000,000 entries under Wine and Xvfb: start to ready, resident
# memory per entry (target at most 1 KB), the exit against the start, and the editor's reload, clear and
# end against its load. Prints one line per measurement, with PASS or FAIL where there is a target.
# Usage: scripts/bench-largefiles.sh [largest count, default 1000000]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start largefile_bench Hotkeys -- "$@"
# The program's path is taken before the cd: BUILD_DIR may be relative to the top of the tree.
program="$(win "$BUILD_DIR/hotkeys/Hotkeys.exe")"
[ -n "$program" ] && [ -f "$BUILD_DIR/hotkeys/Hotkeys.exe" ] || { echo "FAIL: no $BUILD_DIR/hotkeys/Hotkeys.exe"; exit 1; }
# The in-process part keeps its settings and files beside the benchmark.
(cd "$BUILD_DIR/bench" && wine ./largefile_bench.exe "$program" "${1:-1000000}" </dev/null)
