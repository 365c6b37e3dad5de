#!/usr/bin/env bash
# Every test of the project: the native tier (unit and contract tests over the
# in-memory machine, the fault sweep), the same again under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzz target, the Windows tier
# under Wine and Xvfb (contract tests against the real API, resources, the
# end-to-end scenarios) for both editions, the inspection of the shipped i686
# program, and the release check (refusal, reproducibility, signing). Installs what
# it needs first. VM_FUZZ_SECONDS sets the fuzz runs' length.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

run() {
  echo "== $*"
  "$@"
}

with_display() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; fi
}

for preset in native native-asan win64 win64-edition64 win32; do
  run cmake --preset "$preset" >/dev/null
  run cmake --build --preset "$preset" -- --no-print-directory >/dev/null
done

run ctest --preset native -j2
run ctest --preset native-asan -j2
run bash tools/fuzz.sh "${VM_FUZZ_SECONDS:-30}"
run with_display ctest --preset win64
run with_display ctest --preset win64-edition64
run with_display ctest --preset win32
run bash tests/release/release-check.sh
run bash tools/lint.sh
