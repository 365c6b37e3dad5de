#!/usr/bin/env bash
# The part of tools/demo.sh that runs on an X display (the user's, or Xvfb):
# the demo's prefix and distribution, SetUp.exe started from its folder, what it
# found, a picture. VM_DEMO_INTERACTIVE=1 (the user's display): the user closes
# the dialog; otherwise the driver does.
set -euo pipefail
: "${VM_SOURCE_DIR:?}" "${VM_DEMO_DIR:?}" "${VM_DRIVER:?}" "${VM_PROGRAM:?}" "${VM_EDITION_BITS:?}"
e2e="$VM_SOURCE_DIR/tests/e2e"
for lib in common prefix fixture dist program setup-dialog; do
  # shellcheck source=/dev/null
  source "$e2e/lib/$lib.sh"
done
fixture="$e2e/fixtures/demo.reg"
dist="$VM_DEMO_DIR/dist"
shot="$VM_DEMO_DIR/setup-dialog.png"

e2e_fresh_prefix "$VM_DEMO_DIR/wineprefix"
e2e_log "making the demo prefix $WINEPREFIX"
e2e_seed_display
e2e_seed_registry "$fixture"
e2e_make_acad_folders "$fixture"
e2e_make_dist "$dist" "$VM_PROGRAM"
echo "Simulated AutoCAD installations (from $fixture):"
e2e_fixture_installations "$fixture"
echo "Distribution: $dist"
find "$dist" -type f | sed "s|^$dist/|  |" | sort

trap 'wineserver -k 2>/dev/null || true' EXIT
e2e_start "$dist" SetUp.exe "$VM_DEMO_DIR/setup.log"
drv window "$SETUP_CAPTION" 30000 >/dev/null || e2e_die "SetUp.exe showed no dialog (see $VM_DEMO_DIR/setup.log)"
echo "SetUp.exe (edition $VM_EDITION_BITS) shows these release boxes:"
setup_report_boxes
e2e_shot "$SETUP_CAPTION" "$shot"
echo "Screenshot: $shot"

if [ "${VM_DEMO_INTERACTIVE:-0}" = 1 ]; then
  echo "The dialog is on your display ($DISPLAY); close it to end the demo."
  wait "$E2E_PID" || true
else
  drv window "$SETUP_CAPTION" ";" click "$ID_CANCEL" ";" gone ";" exited >/dev/null
  e2e_expect_ended 20
  echo "Closed the dialog with its Cancel button."
fi
wineserver -w
