#!/usr/bin/env bash
# The part of tools/demo.sh that runs on an X display (the user's, or Xvfb):
# the demo's prefix and distribution, SetUp.exe started from its folder, what it
# found, a picture. VM_DEMO_INTERACTIVE=1 (the user's display): the user installs
# or closes the dialog; otherwise the driver installs into the default folder,
# answering each message, with a picture of every step. Then what landed where:
# files, loader keys, trusted folders.
set -euo pipefail
: "${VM_SOURCE_DIR:?}" "${VM_DEMO_DIR:?}" "${VM_DRIVER:?}" "${VM_PROGRAM:?}" "${VM_EDITION_BITS:?}"
: "${VM_E2E_OUT:?}" "${VM_PROGRAM_BITS:?}" "${VM_DIALOG_IDS:?}"
source "$VM_SOURCE_DIR/tests/e2e/lib/machine.sh"
source "$VM_SOURCE_DIR/tests/e2e/lib/setup.sh"
fixture="$E2E_FIXTURES/demo.reg"
E2E_WORK="$VM_DEMO_DIR"
E2E_SHOTS="$VM_DEMO_DIR/shots/"
shots="$VM_DEMO_DIR/shots"

e2e_log "making the demo's machine in $VM_DEMO_DIR"
# SetUp.exe's distribution: the release archive as tools/demo.sh unpacked it
# (VM_DEMO_DIST: SetUp.exe beside Data), else one laid out here.
if [ -n "${VM_DEMO_DIST:-}" ]; then
  e2e_machine "$E2E_WORK" "$fixture"
  E2E_DIST="$VM_DEMO_DIST"
else
  setup_prepare "$fixture"
fi
rm -rf "$shots" && mkdir -p "$shots"
echo "Simulated AutoCAD installations (from $fixture):"
# One line per key that holds both a product name and an install folder.
sed 's/\r$//' "$E2E_WORK/machine.reg" | awk '
  function value(line) { sub(/^"[A-Za-z]+"="/, "", line); sub(/"$/, "", line); gsub(/\\\\/, "\\", line); return line }
  /^\[/ { view = ($0 ~ /Wow6432Node/) ? "32-bit registry view" : "64-bit registry view"; name = ""; loc = ""; next }
  /^"ProductName"=/ { name = value($0) }
  /^"AcadLocation"=/ { loc = value($0) }
  name != "" && loc != "" { printf "  %s  (%s, %s)\n", loc, name, view; name = ""; loc = "" }'
echo "Distribution: $E2E_DIST"
find "$E2E_DIST" -type f | sed "s|^$E2E_DIST/|  |" | sort

trap 'wineserver -k 2>/dev/null || true' EXIT
e2e_reg_export "$VM_DEMO_DIR/registry-before.txt"
e2e_start "$E2E_DIST" SetUp.exe "$VM_DEMO_DIR/setup.log"
drv window "$SETUP_CAPTION" 90000 >/dev/null || e2e_die "SetUp.exe showed no dialog (see $VM_DEMO_DIR/setup.log)"
echo "SetUp.exe (edition $VM_EDITION_BITS) shows these release boxes:"
# The dialog as the driver sees it; a box line: "  ID Button enabled visible checked "For AutoCAD2010"".
drv window "$SETUP_CAPTION" ";" dump | sed -nE 's/^  [0-9]+ Button ([a-z ]+) "For AutoCAD([0-9]{4})"$/\2 \1/p' |
  sort -n | awk -v bits="$VM_EDITION_BITS" '
    { state = $2 " " $3 " " $4; printf "  %s  %s\n", $1, state }
    $2 == "enabled" { found = found " " $1 }
    $2 == "enabled" && $3 == "hidden" { hidden = hidden " " $1 }
    END { printf "Discovery found AutoCAD%s\n", found == "" ? " nothing" : found
          if (hidden != "") printf "  (no box in the %s-bit edition:%s)\n", bits, hidden }'
e2e_shot "$SETUP_CAPTION" 1-choosing

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
    e2e_shot "$caption" "$step-$1"
    printf '  message "%s": %s\n' "$caption" "$(sed 's/^65535 [^"]*//' <<<"${lines[1]}")"
    drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok >/dev/null
    step=$((step + 1))
  }
  drv window "$SETUP_CAPTION" ";" click "$IDC_INSTALL" >/dev/null
  answer_box done
  answer_box import-settings
  e2e_wait_ended 30
fi
wineserver -w

product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
# regedit's lines, "[KEY] "NAME"=DATA", shown as KEY then NAME = DATA.
show_values() {
  sed -e 's/\\\\/\\/g' -e 's/^\[\(.*\)\] "\([^"]*\)"=/\1\t\2 = /' | awk -F'\t' '
    $1 != key { key = $1; print "  " key } { print "      " $2 }'
}
# show_machine EXPORT: the product folder, what lies in each AutoCAD folder, the loader keys, the Apps & Features
# entry, the trusted folders, and whether anything else changed since registry-before.txt.
show_machine() {
  if [ -d "$product" ]; then
    echo "  C:\\Kavtor\\Vellmark:"
    find "$product" -type f -printf '    %P\n' | sort
  else
    echo "  C:\\Kavtor\\Vellmark: not there$([ -e "$WINEPREFIX/drive_c/Kavtor" ] || echo ', nor C:\Kavtor')"
  fi
  while IFS= read -r win; do
    unix="$(e2e_unix_path "$win")"
    [ -d "$unix" ] || continue
    placed="$(cd "$unix" && find . -type f \( -name 'Kavtor_*.shx' -o -name 'ACAD20*.dll' -o -name 'pdfplot9.hdi*' \) \
      -printf '    %P\n' | sed 's|/|\\|g' | sort)"
    printf '  %s:\n%s\n' "$win" "${placed:-    (nothing)}"
  done < <(e2e_fixture_locations "$fixture")
  echo "Loader keys:"
  grep -E '\\Applications\\Kavtor[0-9]{4}(DLL)?\] ' "$1" | show_values || echo "  (none)"
  echo "Apps & Features entry:"
  grep -E '\\Uninstall\\VellmarkToolbox[0-9]+\] ' "$1" | show_values || echo "  (none)"
  echo "Trusted folders (TRUSTEDPATHS of every profile):"
  grep -E '\\Variables\] "TRUSTEDPATHS"=' "$1" | show_values || echo "  (none)"
  changes="$(e2e_reg_changes "$VM_DEMO_DIR/registry-before.txt" "$1")"
  if [ -z "$changes" ]; then
    echo "Nothing else in the registry changed (HKLM\\SOFTWARE and the users' hives compared)."
  else
    printf 'Other registry changes:\n%s\n' "$changes"
  fi
}

if [ -d "$product" ]; then
  echo "Installed:"
  e2e_reg_export "$VM_DEMO_DIR/registry-after.txt"
  show_machine "$VM_DEMO_DIR/registry-after.txt"
  echo "Removing Vellmark as Apps & Features does (its entry's UninstallString, no arguments):"
  if [ "${VM_DEMO_INTERACTIVE:-0}" = 1 ]; then
    command="$(setup_entry_value "$VM_DEMO_DIR/registry-after.txt" UninstallString | sed -e 's/^"\\"//' -e 's/\\""$//' -e 's/\\\\/\\/g')"
    echo "The uninstaller is on your display: answer it."
    e2e_start "$WINEPREFIX/drive_c" "$command" "$VM_DEMO_DIR/uninstall.log"
    wait "$E2E_PID" || true
  else
    setup_uninstall "$VM_DEMO_DIR/registry-after.txt" | sed -e 's/\\n/\n/g' | sed 's/^/  /'
  fi
  wineserver -w
  echo "What is left after the removal:"
  e2e_reg_export "$VM_DEMO_DIR/registry-removed.txt"
  show_machine "$VM_DEMO_DIR/registry-removed.txt"
else
  echo "Nothing was installed (no $product)."
fi
echo "Screenshots:"
find "$shots" -name '*.png' -printf '  %p\n' | sort
