#!/usr/bin/env bash
# The skinned editor with a 10,000-entry definitions file under Wine and Xvfb: a page scrolled in the table
# and a column click (rows sorted and painted) with the control painters on against switched off, in one
# run (target: skinned at most 2x), then the process's GDI objects over the skinned scrolls and clicks
# (target: flat). Prints one line per measurement with PASS or FAIL.
# Usage: scripts/bench-skinned-editor.sh [rounds, default 10]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start skinned_editor_bench -- "$@"
# The benchmark keeps its settings and files beside itself.
(cd "$BUILD_DIR/bench" && wine ./skinned_editor_bench.exe "${1:-10}" </dev/null)
