#!/usr/bin/env bash
# Installs what is missing, builds every preset, runs every test (natively and under Wine) and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

for preset in native win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done

echo "== native tests (ASan, UBSan)"
ctest --preset native
bash scripts/build-skin.sh --check build/native

echo "== fuzzers (bounded)"
bash scripts/fuzz.sh "${HK_FUZZ_SECONDS:-10}"

echo "== win64 tests (Wine, Xvfb)"
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/ctest-wine.sh
