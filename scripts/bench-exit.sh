#!/usr/bin/env bash
# Hotkeys' end and its save after the tray menu's "Hot Programs" submenu was opened, at 1,000 and 10,000
# items, under Wine and Xvfb (target: ten times the items cost at most 20 times as much). Prints PASS or
# FAIL per line.
# Usage: scripts/bench-exit.sh [smaller count, default 1000]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start exit_bench -- "$@"
(cd "$BUILD_DIR/bench" && wine ./exit_bench.exe "${1:-1000}" </dev/null)
