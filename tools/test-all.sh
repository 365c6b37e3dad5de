#!/usr/bin/env bash
# Every test of the project: the native tier (the pure rules), the same again
# under AddressSanitizer and UndefinedBehaviorSanitizer, a short run of each fuzz
# target, the Windows tier under Wine and Xvfb for each build (the logic against
# the real API, the fault sweep, resources, DLL safety, the end-to-end scenarios;
# win32 is the shipped i686 program under 32-bit Wine), the release check
# (refusal, reproducibility, signing) and the quality gates. Installs what it
# needs first. VM_FUZZ_SECONDS sets the fuzz runs' length.
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
