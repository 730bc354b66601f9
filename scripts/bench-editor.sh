#!/usr/bin/env bash
# The editor with a 10,000-entry definitions file under Wine and Xvfb: open and show to the table painted
# (target under 1 s), a column click to the rows sorted and painted (target under 200 ms), and the cost of
# registering the combinations when they are all active. Prints one line per measurement with PASS or FAIL.
# Usage: scripts/bench-editor.sh [runs per measurement, default 7]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
bench_start editor_bench -- "$@"
# The benchmark keeps its settings and files beside itself.
(cd "$BUILD_DIR/bench" && wine ./editor_bench.exe "${1:-7}" </dev/null)
