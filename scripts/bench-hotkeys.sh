#!/usr/bin/env bash
# Costs of Hotkeys in the tray under Wine and Xvfb: idle CPU, the CPU of a tray animation, the time from
# start to tray icon and from start to ready (definitions read, hot keys held) against a bare tray program
# started under the same conditions, and the time from a hot key to its launch call. Prints one line per
# target with PASS or FAIL.
# Usage: scripts/bench-hotkeys.sh [seconds per CPU measurement, default 10] [start-up runs, default 7]
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default build/bench-wineprefix;
# HK_BENCH_PROGRAM: measure another program in place of Hotkeys.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/bench-env.sh
targets=(tray_minimal tray_animated hotkeys_bench dispatch_bench)
[ -n "${HK_BENCH_PROGRAM:-}" ] || targets+=(Hotkeys)
bench_start "${targets[@]}" -- "$@"
program="${HK_BENCH_PROGRAM:-$BUILD_DIR/hotkeys/Hotkeys.exe}"
# Both parts run; the script fails when either does.
status=0
wine "$BUILD_DIR/bench/hotkeys_bench.exe" "$(win "$program")" "$(win "$BUILD_DIR/bench/tray_minimal.exe")" \
  "$(win "$BUILD_DIR/bench/tray_animated.exe")" "${1:-10}" "${2:-7}" </dev/null || status=1
# d) from a hot key's message to the launch call (the benchmark keeps its files beside itself)
echo "d) hot key to launch call"
(cd "$BUILD_DIR/bench" && wine ./dispatch_bench.exe </dev/null | sed 's/^/   /') || status=1
exit $status
