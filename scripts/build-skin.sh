#!/usr/bin/env bash
# Draws the bitmaps of the programs' own skin and packs them with its description.
#
#   build-skin.sh [BUILD_DIR]          writes resources/skin/Calderine.skn
#   build-skin.sh --check [BUILD_DIR]  packs into a temporary file and fails unless it equals the
#                                      committed resources/skin/Calderine.skn byte for byte
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

if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake --preset native -B "$build" >/dev/null
fi
cmake --build "$build" --target makeskin skinpack >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/skin/makeskin" "$work/skin"
cp resources/skin/Calderine.ini "$work/skin/"
"$build/skin/skinpack" pack "$work/skin" "$work/Calderine.skn"

if (( check )); then
  if [[ ! -f "$package" ]] || ! cmp -s "$work/Calderine.skn" "$package"; then
    echo "build-skin: $package is out of date with resources/skin/Calderine.ini and tools/makeskin.cpp;" >&2
    echo "build-skin: run 'bash scripts/build-skin.sh' and commit the package" >&2
    exit 1
  fi
  echo "build-skin: $package is up to date"
else
  cp "$work/Calderine.skn" "$package"
  echo "build-skin: wrote $package ($(wc -c <"$package") bytes)"
fi
