# Sourced: a Wine prefix of the build's own, quiet, with one persistent wineserver so each test program
# starts in a few milliseconds instead of seconds. Call wine_up before and wine_down after.
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_up() {
  wineserver -k 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true   # creates the prefix (once, some seconds)
    wineserver -w                                         # ... and waits until it is written
  fi
  wineserver -p
  # Start Wine's background services now, with their output not attached to ctest's pipes.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # Xvfb has no window manager: let Wine manage its windows itself, otherwise hiding or destroying an
  # active window waits two seconds for a manager that never answers.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
}
wine_down() { wineserver -k 2>/dev/null || true; }
