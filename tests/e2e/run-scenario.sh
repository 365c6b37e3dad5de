#!/usr/bin/env bash
# Runs the end-to-end scenario tests/e2e/scenarios/NAME.sh for ctest: its machine
# and work folder in $VM_E2E_OUT/NAME, pictures in $VM_E2E_OUT/shots, on its own
# Xvfb when there is no display. The environment: see the check below and
# lib/*.sh; VM_E2E_KEEP=1 keeps the prefix after a pass.
set -euo pipefail
name="${1:?usage: run-scenario.sh SCENARIO}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" "$@"
fi
: "${VM_SOURCE_DIR:?}" "${VM_E2E_OUT:?}" "${VM_DRIVER:?}" "${VM_PROGRAM:?}" "${VM_EDITION_BITS:?}" "${VM_PROGRAM_BITS:?}"
source "$here/lib/machine.sh"
source "$here/lib/setup.sh"

E2E_NAME="$name"
E2E_WORK="$VM_E2E_OUT/$name"
E2E_SHOTS="$VM_E2E_OUT/shots/$name-"
rm -rf "$E2E_WORK" "$E2E_SHOTS"*.png
mkdir -p "$E2E_WORK" "$VM_E2E_OUT/shots"

finish() {
  local status=$?
  if [ $status -ne 0 ]; then
    e2e_log "scenario $name failed; the program's output:"
    cat "$E2E_WORK"/program-*.log 2>/dev/null || true
  fi
  # Whatever still runs in this prefix goes, so no process outlives the test.
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [ $status -ne 0 ] || [ "${VM_E2E_KEEP:-0}" = 1 ] || rm -rf "$WINEPREFIX"
  fi
  [ $status -ne 0 ] || e2e_log "scenario $name passed"
  exit $status
}
trap finish EXIT

e2e_log "scenario $name (edition $VM_EDITION_BITS, $VM_PROGRAM_BITS-bit program, display $DISPLAY)"
source "$here/scenarios/$name.sh"
