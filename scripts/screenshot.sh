#!/usr/bin/env bash
# Takes docs/hotkeys.png: Hotkeys under Wine on an Xvfb screen of its own, with its editor shown and the
# tray icon's menu open.
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build); WINEPREFIX: default build/screenshot-wineprefix;
# HK_SHOT_PROGRAM / HK_SHOT_MAIN_CLASS / HK_SHOT_TRAY_CLASS: another program and its window classes
# (defaults: Hotkeys, "TfrmHotkeyEdit", "ClHiddenWindow"); HK_SHOT_OUT: another output file.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build/win64-release}"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/screenshot-wineprefix}"
OUT="${HK_SHOT_OUT:-docs/hotkeys.png}"

if [ -z "${HK_SHOT_INNER:-}" ]; then
  bash scripts/deps.sh
  [ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64-release -B "$BUILD_DIR" >/dev/null
  targets=(wintool)
  [ -n "${HK_SHOT_PROGRAM:-}" ] || targets+=(Hotkeys)
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${targets[@]}"
  exec env HK_SHOT_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

program="${HK_SHOT_PROGRAM:-$BUILD_DIR/hotkeys/Hotkeys.exe}"
main_class="${HK_SHOT_MAIN_CLASS:-TfrmHotkeyEdit}"
tray_class="${HK_SHOT_TRAY_CLASS:-ClHiddenWindow}"
source scripts/wine-env.sh
wine_up
trap wine_down EXIT
wintool() { wine "$BUILD_DIR/tools/wintool.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# A fresh copy in C:\Calderine with a sample definitions file, so the editor has rows (and a short path
# in its caption) and the build folder stays clean.
work="$WINEPREFIX/drive_c/Calderine"
rm -rf "$work"
mkdir -p "$work"
name="$(basename "$program")"
cp "$program" "$work/$name"
cp tests/data/hkd/v150_sample.hkd "$work/${name%.*}.hkd"

(cd "$work" && wine "./$name" </dev/null >/dev/null 2>&1 &)
main="$(wintool find "$main_class" --wait 20000)" || { echo "screenshot: no $main_class window" >&2; exit 1; }
tray="$(wintool find "$tray_class" --tray --wait 20000)" || { echo "screenshot: no tray icon" >&2; exit 1; }
# A second start shows the first one's editor and ends.
(cd "$work" && timeout 20 wine "./$name" </dev/null >/dev/null 2>&1) || true
sleep 1
wintool post "$tray" reg:TSaAnimatedTrayIconCallBackMsg 0 0x0204 >/dev/null  # WM_RBUTTONDOWN
sleep 1
mkdir -p "$(dirname "$OUT")"
/usr/bin/import -window root "$OUT"
echo "screenshot: $OUT"
# Closes the menu, then ends the program (message 3028).
wintool post "$tray" 0x001F 0 0 >/dev/null || true  # WM_CANCELMODE
wintool post "$main" 3028 3028 0 >/dev/null || true
sleep 1
