#!/usr/bin/env bash
# Takes docs/hotkeys.png: Hotkeys under Wine on an Xvfb screen of its own, with its editor shown and the
# tray icon's menu open; before that docs/editor.png: the editor with a row selected and its edit box open.
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build); WINEPREFIX: default build/screenshot-wineprefix;
# HK_SHOT_PROGRAM / HK_SHOT_MAIN_CLASS / HK_SHOT_TRAY_CLASS: another program and its window classes
# (defaults: Hotkeys, "TfrmHotkeyEdit", "ClHiddenWindow"); HK_SHOT_OUT: another output file (another
# program gets no editor picture); HK_SHOT_EDITOR_OUT: another file for the editor picture.
# Afterwards docs/hotkeylist.png and docs/about.png (HK_SHOT_LIST_OUT / HK_SHOT_ABOUT_OUT: other files),
# and last docs/pellwick.png: Pellwick with its settings window open (HK_SHOT_PELLWICK_OUT: another file),
# then docs/pellwick-menu.png: Pellwick with its "Options" drop-down open (HK_SHOT_PELLWICK_MENU_OUT).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build/win64-release}"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/screenshot-wineprefix}"
OUT="${HK_SHOT_OUT:-docs/hotkeys.png}"
EDITOR_OUT="${HK_SHOT_EDITOR_OUT:-docs/editor.png}"

if [ -z "${HK_SHOT_INNER:-}" ]; then
  bash scripts/deps.sh
  [ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64-release -B "$BUILD_DIR" >/dev/null
  targets=(wintool)
  [ -n "${HK_SHOT_PROGRAM:-}" ] || targets+=(Hotkeys Pellwick)
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
if [ -z "${HK_SHOT_PROGRAM:-}" ]; then
  # A click on a row of the table selects it; "&Edit" opens the edit box, which is then moved down to
  # the right so that the table stays in sight.
  list="$(wintool child "$main" SysListView32)"
  wintool post "$list" 0x0201 1 $(((58 << 16) | 60)) >/dev/null  # WM_LBUTTONDOWN at (60, 58)
  wintool post "$list" 0x0202 0 $(((58 << 16) | 60)) >/dev/null  # WM_LBUTTONUP
  sleep 0.5
  wintool post "$(wintool child "$main" Button '&Edit')" 0x00F5 0 0 >/dev/null  # BM_CLICK
  sleep 1
  tool="$(wintool find TToolWin)"
  wintool move "$tool" 420 470 >/dev/null
  sleep 0.5
  mkdir -p "$(dirname "$EDITOR_OUT")"
  /usr/bin/import -window root "$EDITOR_OUT"
  echo "screenshot: $EDITOR_OUT"
  wintool post "$(wintool child "$tool" Button '&Close')" 0x00F5 0 0 >/dev/null
  sleep 0.5
fi
wintool post "$tray" reg:TSaAnimatedTrayIconCallBackMsg 0 0x0204 >/dev/null  # WM_RBUTTONDOWN
sleep 1
mkdir -p "$(dirname "$OUT")"
/usr/bin/import -window root "$OUT"
echo "screenshot: $OUT"
# The small windows, opened from the tray menu by their items' mnemonics: docs/hotkeylist.png (the
# hotkey list window, "&View hotkey list...") and docs/about.png (the about box, "&About..."), each
# alone on the screen with the editor hidden.
small_windows() {
  local list_out="${HK_SHOT_LIST_OUT:-docs/hotkeylist.png}" about_out="${HK_SHOT_ABOUT_OUT:-docs/about.png}"
  wintool post "$main" 0x0010 0 0 >/dev/null  # WM_CLOSE: the editor hides
  sleep 0.5
  wintool post "$(wintool find '#32768' --wait 5000)" 0x0100 0x56 0 >/dev/null  # WM_KEYDOWN V
  local list
  list="$(wintool find TfrmHotkeyList --wait 10000)" || { echo "screenshot: no hotkey list" >&2; return 1; }
  sleep 1
  # A row chosen, as when the user is about to run it.
  wintool post "$(wintool child "$list" SysListView32)" 0x0100 0x24 0 >/dev/null  # WM_KEYDOWN Home
  wintool post "$(wintool child "$list" SysListView32)" 0x0100 0x28 0 >/dev/null  # WM_KEYDOWN Down
  sleep 0.5
  /usr/bin/import -window root "$list_out"
  echo "screenshot: $list_out"
  wintool post "$list" 0x0010 0 0 >/dev/null
  sleep 0.5
  wintool post "$tray" reg:TSaAnimatedTrayIconCallBackMsg 0 0x0204 >/dev/null
  sleep 1
  wintool post "$(wintool find '#32768' --wait 5000)" 0x0100 0x41 0 >/dev/null  # WM_KEYDOWN A
  local about
  about="$(wintool find TfrmAbout --wait 10000)" || { echo "screenshot: no about box" >&2; return 1; }
  sleep 1.5
  /usr/bin/import -window root "$about_out"
  echo "screenshot: $about_out"
  wintool post "$about" 0x0010 0 0 >/dev/null
  sleep 0.5
}
if [ -z "${HK_SHOT_PROGRAM:-}" ]; then small_windows || true; fi

# Closes the menu, then ends the program (message 3028).
wintool post "$tray" 0x001F 0 0 >/dev/null || true  # WM_CANCELMODE
wintool post "$main" 3028 3028 0 >/dev/null || true
sleep 1

# Pellwick alone, its settings window opened from its skinned menu bar by the mnemonics ("Options(&O)",
# then "Settings(&S)") and moved beside the main window; then the "Options" drop-down alone.
pellwick_windows() {
  local out="${HK_SHOT_PELLWICK_OUT:-docs/pellwick.png}" menu_out="${HK_SHOT_PELLWICK_MENU_OUT:-docs/pellwick-menu.png}"
  local form1 form3
  cp "$BUILD_DIR/timer/Pellwick.exe" "$work/Pellwick.exe"
  (cd "$work" && wine ./Pellwick.exe </dev/null >/dev/null 2>&1 &)
  form1="$(wintool find TForm1 --wait 20000)" || { echo "screenshot: no Pellwick window" >&2; return 1; }
  sleep 1
  open_options() {
    wintool post "$form1" 0x0106 0x6F 0x20000000 >/dev/null  # WM_SYSCHAR 'o' with Alt held
    sleep 1
  }
  pellwick_menu() {
    open_options
    wintool post "$(wintool find '#32768' --wait 5000)" 0x0100 "$1" 0 >/dev/null  # WM_KEYDOWN
  }
  pellwick_menu 0x53  # S
  form3="$(wintool find TForm3 --wait 10000)" || { echo "screenshot: no settings window" >&2; return 1; }
  wintool move "$form3" 640 240 >/dev/null
  sleep 1
  /usr/bin/import -window root "$out"
  echo "screenshot: $out"
  wintool post "$form3" 0x0010 0 0 >/dev/null  # WM_CLOSE
  sleep 0.5
  # The drop-down opens with its first item selected.
  open_options
  /usr/bin/import -window root "$menu_out"
  echo "screenshot: $menu_out"
  wintool post "$(wintool find '#32768' --wait 5000)" 0x0100 0x45 0 >/dev/null  # E: "Exit(&E)"
  sleep 1
}
if [ -z "${HK_SHOT_PROGRAM:-}" ]; then pellwick_windows || true; fi
