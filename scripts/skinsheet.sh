#!/usr/bin/env bash
# Draws the contact sheet of our skin package (every element, labelled) under Wine and writes it as
# docs/skin.png.
#
#   skinsheet.sh [BUILD_DIR]     BUILD_DIR is a win64 build folder (default build/win64)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build/win64}"
out="${HK_SHEET_OUT:-docs/skin.png}"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake --preset win64 -B "$build" >/dev/null
fi
cmake --build "$build" --target skinsheet >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX="${WINEPREFIX:-$PWD/$build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
xvfb-run -a -s "-screen 0 1280x1024x24" \
  wine "$build/tools/skinsheet.exe" resources/skin/Calderine.skn "$work/sheet.bmp" </dev/null

# 24-bit bottom-up BMP to an 8-bit RGB PNG, with nothing but the standard library.
python3 - "$work/sheet.bmp" "$out" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", data, 10)
width, height, planes, bits = struct.unpack_from("<iiHH", data, 18)
assert data[:2] == b"BM" and bits == 24, "a 24-bit bitmap is expected"
stride = (width * 3 + 3) // 4 * 4
rows = []
for y in range(abs(height)):
    src = y if height < 0 else abs(height) - 1 - y
    row = data[offset + src * stride: offset + src * stride + width * 3]
    rgb = bytearray(row)
    rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
    rows.append(b"\0" + bytes(rgb))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
open(sys.argv[2], "wb").write(png)
PY
echo "skinsheet: wrote $out"
