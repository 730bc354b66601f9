#!/usr/bin/env bash
# Runs every libFuzzer target of the native build for $1 seconds (default 15) on a copy of its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"
shopt -s nullglob
for src in fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  bin=build/native/fuzz/$name
  [ -x "$bin" ] || { echo "missing $bin"; exit 1; }
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  echo "-- $name (${seconds}s)"
  "$bin" -max_total_time="$seconds" -print_final_stats=0 "$work" 2>"$work.log" \
    || { tail -50 "$work.log"; rm -rf "$work" "$work.log"; exit 1; }
  grep -E '^Done|#[0-9]+.*DONE' "$work.log" | tail -1 || true
  rm -rf "$work" "$work.log"
done
