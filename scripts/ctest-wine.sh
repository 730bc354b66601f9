#!/usr/bin/env bash
# Runs the win64 tests under Wine; expects a display (run it inside xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
wine_up
trap wine_down EXIT
ctest --preset win64 "$@"
