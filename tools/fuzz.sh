#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, the fuzz preset) and runs each one for a
# while from the committed seeds. The corpus grows in build/fuzz/corpus, never in
# the seeds. Usage: tools/fuzz.sh [seconds per target, default 30] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(classify folder record trusted_paths upper)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -- --no-print-directory >/dev/null

for t in "${targets[@]}"; do
  corpus="build/fuzz/corpus/$t"
  mkdir -p "$corpus" "build/fuzz/crashes/$t"
  log="build/fuzz/$t.log"
  echo "== fuzz $t (${seconds}s)"
  if ! build/fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -max_len=4096 -seed=1 \
       -artifact_prefix="build/fuzz/crashes/$t/" "$corpus" "fuzz/seeds/$t" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz $t: failed; the input is in build/fuzz/crashes/$t/" >&2
    exit 1
  fi
  echo "fuzz $t: $(grep -E 'DONE' "$log" | tail -1 | awk '{print $1}' | tr -d '#') runs, no failure"
done
