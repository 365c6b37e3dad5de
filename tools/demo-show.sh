#!/usr/bin/env bash
# The part of tools/demo.sh that runs on an X display (the user's, or Xvfb):
# the demo's prefix and distribution, SetUp.exe started from its folder, what it
# found, a picture. VM_DEMO_INTERACTIVE=1 (the user's display): the user installs
# or closes the dialog; otherwise the driver installs into the default folder,
# answering each message, with a picture of every step. Then what landed where:
# files, loader keys, trusted folders.
set -euo pipefail
: "${VM_SOURCE_DIR:?}" "${VM_DEMO_DIR:?}" "${VM_DRIVER:?}" "${VM_PROGRAM:?}" "${VM_EDITION_BITS:?}"
e2e="$VM_SOURCE_DIR/tests/e2e"
for lib in common prefix fixture registry dist program setup-dialog; do
  # shellcheck source=/dev/null
  source "$e2e/lib/$lib.sh"
done
fixture="$e2e/fixtures/demo.reg"
# SetUp.exe's distribution: the release archive as tools/demo.sh unpacked it
# (VM_DEMO_DIST: SetUp.exe beside Data), else one laid out below.
dist="${VM_DEMO_DIST:-$VM_DEMO_DIR/dist}"
shots="$VM_DEMO_DIR/shots"

e2e_fresh_prefix "$VM_DEMO_DIR/wineprefix"
e2e_log "making the demo prefix $WINEPREFIX"
e2e_seed_display
e2e_seed_registry "$fixture"
e2e_make_acad_folders "$fixture"
if [ -z "${VM_DEMO_DIST:-}" ]; then
  e2e_make_dist "$dist" "$VM_PROGRAM"
  # The package as the add-on ships it: a module per release line, the two shape
  # fonts, the assemblies and AutoCAD 2008's plot driver.
  e2e_add_package_files "$dist" Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX \
    Kavtor_EN.shx Kavtor_HZ.shx ACAD2007.dll ACAD2010.dll ACAD2013.dll Kavtor.prt5
fi
rm -rf "$shots" && mkdir -p "$shots"
echo "Simulated AutoCAD installations (from $fixture):"
e2e_fixture_installations "$fixture"
echo "Distribution: $dist"
find "$dist" -type f | sed "s|^$dist/|  |" | sort

trap 'wineserver -k 2>/dev/null || true' EXIT
e2e_reg_export "$VM_DEMO_DIR/registry-before.txt"
e2e_start "$dist" SetUp.exe "$VM_DEMO_DIR/setup.log"
drv window "$SETUP_CAPTION" 30000 >/dev/null || e2e_die "SetUp.exe showed no dialog (see $VM_DEMO_DIR/setup.log)"
echo "SetUp.exe (edition $VM_EDITION_BITS) shows these release boxes:"
setup_report_boxes
e2e_shot "$SETUP_CAPTION" "$shots/1-choosing.png"

if [ "${VM_DEMO_INTERACTIVE:-0}" = 1 ]; then
  echo "The dialog is on your display ($DISPLAY): install, or close it to end the demo."
  wait "$E2E_PID" || true
else
  echo "Installing into the default folder $SETUP_FOLDER:"
  step=2
  # answer_box NAME: the message box now up, pictured and printed, then OK.
  answer_box() {
    local lines caption
    mapfile -t lines < <(drv window "$SETUP_CAPTION" ";" msgbox 60000)
    caption="$(sed -n 's/^caption [^ ]* [a-z]* [a-z]* "\(.*\)"$/\1/p' <<<"${lines[0]}")"
    e2e_shot "$caption" "$shots/$step-$1.png"
    printf '  message "%s": %s\n' "$caption" "$(sed 's/^65535 [^"]*//' <<<"${lines[1]}")"
    drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok >/dev/null
    step=$((step + 1))
  }
  drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" >/dev/null
  answer_box done
  answer_box import-settings
  drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited >/dev/null 2>&1 || true
  e2e_expect_ended 30
fi
wineserver -w

product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
if [ -d "$product" ]; then
  echo "Installed files:"
  echo "  C:\\Kavtor\\Vellmark:"
  find "$product" -type f -printf '    %P\n' | sort
  while IFS= read -r win; do
    unix="$(e2e_unix_path "$win")"
    [ -d "$unix" ] || continue
    placed="$(cd "$unix" && find . -type f \( -name 'Kavtor_*.shx' -o -name 'ACAD20*.dll' -o -name pdfplot9.hdi \) \
      -printf '    %P\n' | sed 's|/|\\|g' | sort)"
    printf '  %s:\n%s\n' "$win" "${placed:-    (nothing)}"
  done < <(e2e_fixture_locations "$fixture")
  e2e_reg_export "$VM_DEMO_DIR/registry-after.txt"
  # regedit's lines, "[KEY] "NAME"=DATA", shown as KEY then NAME = DATA.
  show_values() {
    sed -e 's/\\\\/\\/g' -e 's/^\[\(.*\)\] "\([^"]*\)"=/\1\t\2 = /' | awk -F'\t' '
      $1 != key { key = $1; print "  " key } { print "      " $2 }'
  }
  echo "Loader keys written:"
  grep -E '\\Applications\\Kavtor[0-9]{4}(DLL)?\] ' "$VM_DEMO_DIR/registry-after.txt" | show_values
  echo "Trusted folders (TRUSTEDPATHS of every profile):"
  grep -E '\\Variables\] "TRUSTEDPATHS"=' "$VM_DEMO_DIR/registry-after.txt" | show_values
  changes="$(e2e_reg_changes "$VM_DEMO_DIR/registry-before.txt" "$VM_DEMO_DIR/registry-after.txt")"
  if [ -z "$changes" ]; then
    echo "Nothing else in the registry changed (whole exports compared)."
  else
    printf 'Other registry changes:\n%s\n' "$changes"
  fi
else
  echo "Nothing was installed (no $product)."
fi
echo "Screenshots:"
find "$shots" -name '*.png' -printf '  %p\n' | sort
