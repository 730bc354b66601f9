#!/usr/bin/env bash
# Draws the bitmaps of the programs' own skin and packs them with its description.
#
#   build-skin.sh [BUILD_DIR]          writes resources/skin/Calderine.skn and the system menu's icons,
#                                      resources/skin/SkinMenu.bmp (a resource of both programs)
#   build-skin.sh --check [BUILD_DIR]  draws and packs into a temporary folder and fails unless both
#                                      equal the committed files byte for byte
#
# BUILD_DIR is a native build folder (default build/native); makeskin and skinpack are built there.
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
if [[ "${1:-}" == "--check" ]]; then
  check=1
  shift
fi
build="${1:-build/native}"
package=resources/skin/Calderine.skn
icons=resources/skin/SkinMenu.bmp

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake --preset native -B "$build" >/dev/null
fi
cmake --build "$build" --target makeskin skinpack >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/makeskin" "$work/skin" "$work/SkinMenu.bmp"
cp resources/skin/Calderine.ini "$work/skin/"
"$build/tools/skinpack" pack "$work/skin" "$work/Calderine.skn"

if (( check )); then
  for pair in "Calderine.skn:$package" "SkinMenu.bmp:$icons"; do
    made="$work/${pair%%:*}" committed="${pair#*:}"
    if [[ ! -f "$committed" ]] || ! cmp -s "$made" "$committed"; then
      echo "build-skin: $committed is out of date with resources/skin/Calderine.ini and tools/makeskin.cpp;" >&2
      echo "build-skin: run 'bash scripts/build-skin.sh' and commit it" >&2
      exit 1
    fi
  done
  echo "build-skin: $package and $icons are up to date"
else
  cp "$work/Calderine.skn" "$package"
  cp "$work/SkinMenu.bmp" "$icons"
  echo "build-skin: wrote $package ($(wc -c <"$package") bytes) and $icons"
fi
