#!/usr/bin/env bash
# Builds Hotkeys (win64) and starts it under Wine, where it waits in the tray. Without a display it gets
# an Xvfb screen of its own (:77, kept running). Running it again while Hotkeys runs changes nothing.
#   scripts/run-hotkeys.sh          build if needed and start
#   scripts/run-hotkeys.sh --stop   end the running Hotkeys (message 3028)
# BUILD_DIR: the win64 build folder (default build/win64-release, the stripped release build);
# WINEPREFIX: default ~/.local/share/calderine-wine (Hotkeys is copied to C:\Calderine in it, where its
# settings and definitions file stay between runs); HK_DISPLAY: the Xvfb display used without $DISPLAY.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build/win64-release}"
export WINEPREFIX="${WINEPREFIX:-$HOME/.local/share/calderine-wine}"
XDISPLAY="${HK_DISPLAY:-:77}"
app_dir="$WINEPREFIX/drive_c/Calderine"
source scripts/wine-env.sh  # quiet Wine and the fonts (WINEPREFIX is ours)
wintool() { wine "$BUILD_DIR/tools/wintool.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Starts the wineserver and Wine's services with their output detached before wintool's output is piped:
# whatever Wine starts first would otherwise hold the pipe open for as long as it runs.
wine_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (once) ..."
    mkdir -p "$WINEPREFIX"
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    wineserver -w
  fi
  wine_fonts_files
  wineserver -p 10 </dev/null >/dev/null 2>&1 || true  # no-op while a server runs
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  wine_fonts_registry
}

own_xvfb=0
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY="$XDISPLAY"
  own_xvfb=1
fi

if [ "${1:-}" = "--stop" ]; then
  [ -f "$BUILD_DIR/tools/wintool.exe" ] || { echo "wintool is not built in $BUILD_DIR" >&2; exit 1; }
  wine_ready
  if main="$(wintool find TfrmHotkeyEdit)"; then
    wintool post "$main" 3028 3028 0
    echo "Hotkeys asked to end (with unsaved changes it asks first, on display $DISPLAY)."
  else
    echo "Hotkeys is not running."
  fi
  exit 0
fi

bash scripts/deps.sh
[ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64-release -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target Hotkeys Pellwick wintool

if ((own_xvfb)); then
  n="${XDISPLAY#:}"
  lock="/tmp/.X$n-lock"
  if ! { [ -f "$lock" ] && kill -0 "$(tr -d ' ' <"$lock")" 2>/dev/null; }; then
    rm -f "$lock" "/tmp/.X11-unix/X$n" 2>/dev/null || true  # left by a server that is gone
    # Left running in the background for later runs.
    setsid Xvfb "$XDISPLAY" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
fi

wine_ready
if ((own_xvfb)); then
  # No window manager on this screen: Wine places and decorates nothing itself otherwise.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
fi

stop_hint() {
  echo "To stop it:  WINEPREFIX=\"$WINEPREFIX\" bash scripts/run-hotkeys.sh --stop"
  echo "   or end everything in that prefix:  WINEPREFIX=\"$WINEPREFIX\" wineserver -k"
}
if wintool find TfrmHotkeyEdit >/dev/null; then
  echo "Hotkeys is already running (display $DISPLAY, prefix $WINEPREFIX)."
  stop_hint
  exit 0
fi

mkdir -p "$app_dir"
cp "$BUILD_DIR/hotkeys/Hotkeys.exe" "$app_dir/Hotkeys.exe"
# The shutdown timer sits beside it: "Exit Windows" with "Shutdown-Timer" starts it from there.
cp "$BUILD_DIR/timer/Pellwick.exe" "$app_dir/Pellwick.exe"
# Detached from this script's terminal and output, so that the caller is not kept waiting for them.
(cd "$app_dir" && exec setsid wine ./Hotkeys.exe) </dev/null >/dev/null 2>&1 &
if wintool find ClHiddenWindow --tray --wait 30000 >/dev/null; then
  echo "Hotkeys runs in the tray (display $DISPLAY, prefix $WINEPREFIX, program C:\\Calderine\\Hotkeys.exe)."
else
  echo "Hotkeys started, but its tray icon did not appear within 30 s (display $DISPLAY)." >&2
fi
stop_hint
