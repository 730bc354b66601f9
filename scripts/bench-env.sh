# Sourced by the benchmark scripts from the top of the tree: the stripped release build, a Wine prefix of
# their own and a display of their own.
BUILD_DIR="${BUILD_DIR:-build/win64-release}"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/bench-wineprefix}"

# bench_start TARGET... -- ARG...: the first time, builds the targets and runs the calling script again
# with the ARGs inside a display of its own (it does not return then); that second time, starts Wine
# until the script ends.
bench_start() {
  local targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    targets+=("$1")
    shift
  done
  if [ $# -gt 0 ]; then shift; fi
  if [ -z "${HK_BENCH_INNER:-}" ]; then
    bash scripts/deps.sh
    [ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64-release -B "$BUILD_DIR" >/dev/null
    # wintool keeps Wine's desktop process up for the whole run (wine_up), so no start is timed with it.
    cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${targets[@]}" wintool
    exec env HK_BENCH_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
  fi
  source scripts/wine-env.sh
  wine_up
  trap wine_down EXIT
}

# A Unix path as the Windows programs take it.
win() { winepath -w "$1" 2>/dev/null; }
