# Sourced: a Wine prefix of the build's own, quiet, with one persistent wineserver so each test program
# starts in a few milliseconds instead of seconds. Call wine_up before and wine_down after.
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine_up() {
  # Without its preloader, Wine's loader sits at 0x7d000000 with the heap the kernel gives it anywhere in
  # the gigabyte above; about one start in a thousand finds that heap over the page Wine needs at
  # 0x7ffe0000 and ends at once with exit code 1 and not a word ("failed to map the shared user data",
  # an error WINEDEBUG=-all keeps quiet). The preloader reserves those pages before anything else.
  if [ ! -e /usr/lib/wine/wine64-preloader ]; then
    echo "wine_up: /usr/lib/wine/wine64-preloader is missing (scripts/deps.sh installs wine64-preloader)" >&2
    return 1
  fi
  wineserver -k 2>/dev/null || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true   # creates the prefix (once, some seconds)
    wineserver -w                                         # ... and waits until it is written
  fi
  wine_fonts_files
  # In the foreground of a background job, so that what the server says (a client it ends for a protocol
  # error, say) lands in $WINEPREFIX/wineserver.log instead of nowhere.
  : >"$WINEPREFIX/wineserver.log"
  wineserver -p -f </dev/null >/dev/null 2>>"$WINEPREFIX/wineserver.log" &
  local server=$!
  disown
  # Ready when it listens: its socket is in the folder it works in.
  for _ in $(seq 100); do [ -S "/proc/$server/cwd/socket" ] && break; sleep 0.05; done
  # Start Wine's background services now, with their output not attached to ctest's pipes.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  # ... and keep the desktop process running until wine_down: otherwise the next program that opens the
  # desktop (a test) starts it, and ctest waits for that test's output until the desktop closes.
  local keeper="${BUILD_DIR:-build/win64}/tools/wintool.exe"
  if [ -f "$keeper" ]; then
    wine "$keeper" hold </dev/null >/dev/null 2>&1 &
    disown  # not one of the caller's jobs: its `wait` does not wait for it
  else
    echo "wine_up: $keeper is not built; a test may wait for the desktop process" >&2
  fi
  wine_fonts_registry
  wine_regedit wine-tests.reg  # window management and crash reports for the tests (it says why)
}
# The fonts the programs are drawn with: Debian's Wine does not look in its own font folder, so the prefix
# gets Wine's fonts (MS Sans Serif, Tahoma, Marlett, ...) in its Fonts folder.
wine_fonts_files() {
  local dir="$WINEPREFIX/drive_c/windows/Fonts" f
  mkdir -p "$dir"
  for f in /usr/share/wine/fonts/*; do
    [ -e "$dir/${f##*/}" ] || ln -s "$f" "$dir/"
  done
}
wine_fonts_registry() { wine_regedit wine-fonts.reg; }
# Imports one of the .reg files beside this script.
wine_regedit() {
  wine regedit /S "$(winepath -w "$(dirname "${BASH_SOURCE[0]}")/$1")" </dev/null >/dev/null 2>&1 || true
}
wine_down() { wineserver -k 2>/dev/null || true; }
