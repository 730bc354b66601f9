#!/usr/bin/env bash
# Makes docs/printed-page.png: the sample definitions file printed by the print test onto a page bitmap
# (8.5 x 11 inches at 150 pixels per inch), scaled down to 850 pixels wide.
# BUILD_DIR: the win64 build folder (default build/win64); WINEPREFIX: default build/printed-page-wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build/win64}"
export WINEPREFIX="${WINEPREFIX:-$PWD/build/printed-page-wineprefix}"
OUT="${HK_PAGE_OUT:-docs/printed-page.png}"

if [ -z "${HK_PAGE_INNER:-}" ]; then
  [ -f "$BUILD_DIR/build.ninja" ] || cmake --preset win64 -B "$BUILD_DIR" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target hotkeys_program_tests
  exec env HK_PAGE_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

source scripts/wine-env.sh
wine_up
trap wine_down EXIT
bmp="$(mktemp --suffix=.bmp)"
HK_TEST_DATA="$PWD/tests/data" HK_PRINT_PAGE_OUT="$bmp" \
  wine "$BUILD_DIR/tests/hotkeys_program_tests.exe" --gtest_filter='Print.ASampleDefinitionsFilePrintsOnOnePage' \
  </dev/null >/dev/null 2>&1
mkdir -p "$(dirname "$OUT")"
convert "$bmp" -resize 850x "$OUT"
rm -f "$bmp"
echo "printed page: $OUT"
