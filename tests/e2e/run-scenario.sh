#!/usr/bin/env bash
# Runs scenarios/NAME.sh for ctest on its X display: machine and work folder in $VM_E2E_OUT/NAME (kept), pictures: shots.
set -euo pipefail
name="${1:?usage: run-scenario.sh SCENARIO}" here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${VM_SOURCE_DIR:?}" "${VM_E2E_OUT:?}" "${VM_DRIVER:?}" "${VM_PROGRAM:?}" "${VM_EDITION_BITS:?}" "${VM_PROGRAM_BITS:?}"
: "${VM_DIALOG_IDS:?}"
: "${DISPLAY:?no X display: run under xvfb-run -a}"
source "$here/lib/machine.sh" && source "$here/lib/setup.sh"
E2E_WORK="$VM_E2E_OUT/$name" E2E_SHOTS="$VM_E2E_OUT/shots/$name-"
rm -rf "$E2E_WORK" "$E2E_SHOTS"*.png && mkdir -p "$E2E_WORK" "$VM_E2E_OUT/shots"
# Nothing started in the prefix outlives the test; a failure shows what the program wrote.
trap 'status=$? && set +e && [ $status = 0 ] || cat "$E2E_WORK/program.log"
  [ -z "${WINEPREFIX:-}" ] || { e2e_as wineserver -k; e2e_as wineserver -w; } 2>/dev/null; exit $status' EXIT
e2e_log "scenario $name (edition $VM_EDITION_BITS, $VM_PROGRAM_BITS-bit program)"
source "$here/scenarios/$name.sh"
