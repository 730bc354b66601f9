#!/usr/bin/env bash
# A save with 1,000 and 10,000 active entries and the tray's "Hot Programs" submenu they fill, under Wine
# and Xvfb: the time from Apply to the program handling messages again, the time to open the submenu, and
# the longest wait for the editor's answer meanwhile (target under 1 s); ten times the entries must cost at
# most 20 times the time. Prints one line per size and one for the growth, with PASS or FAIL.
# Usage: scripts/bench-hotprograms.sh [runs per size, default 5]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start hotprograms_bench -- "$@"
# The benchmark keeps its settings and files beside itself.
(cd "$BUILD_DIR/bench" && wine ./hotprograms_bench.exe "${1:-5}" </dev/null)
