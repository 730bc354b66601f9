#!/usr/bin/env bash
# The skinned popup menu under Wine and Xvfb: the editor's tray menu opened, painted and closed, skinned
# and unskinned in alternating rounds of one run; then Pellwick's "Options" drop-down opened from the
# skinned menu bar against the system's menu (target for both: skinned at most 2x). Prints PASS or FAIL.
# Usage: scripts/bench-menu.sh [openings, default 200]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start menu_bench dropdown_bench -- "$@"
wine "$BUILD_DIR/bench/menu_bench.exe" "${1:-200}" </dev/null
wine "$BUILD_DIR/bench/dropdown_bench.exe" "${1:-200}" </dev/null
