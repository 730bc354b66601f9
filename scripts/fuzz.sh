#!/usr/bin/env bash
# Runs every libFuzzer target of the native build for $1 seconds (default 15) on a copy of its corpus,
# several at once (they are independent), and prints each one's result in order. The corpora hold the
# real files of each format; inputs may grow to the largest of them (at least 4 KB), so whole files reach
# the targets instead of their first 4 KB.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"
jobs="${HK_FUZZ_JOBS:-$(( $(nproc) / 2 > 0 ? $(nproc) / 2 : 1 ))}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
shopt -s nullglob

fuzz_one() {  # name -> $out/name.log (libFuzzer's output), $out/name.status
  local name=$1 bin=build/native/fuzz/$1 work
  work=$(mktemp -d)
  cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  local status=0 largest
  largest=$(find "$work" -type f -printf '%s\n' | sort -n | tail -1)
  largest=$(( ${largest:-0} > 4096 ? ${largest:-0} : 4096 ))
  "$bin" -max_total_time="$seconds" -max_len="$largest" -print_final_stats=0 "$work" 2>"$out/$name.log" || status=$?
  echo "$status" >"$out/$name.status"
  rm -rf "$work"
}

names=()
for src in fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  [ -x "build/native/fuzz/$name" ] || { echo "missing build/native/fuzz/$name"; exit 1; }
  names+=("$name")
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  fuzz_one "$name" &
done
wait

failed=0
for name in "${names[@]}"; do
  echo "-- $name (${seconds}s)"
  if [ "$(cat "$out/$name.status")" != 0 ]; then
    tail -50 "$out/$name.log"
    failed=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$out/$name.log" | tail -1 || true
  fi
done
exit "$failed"
