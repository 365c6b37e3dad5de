# SetUp.exe on a workstation with only AutoCAD 2017 and later
# (tests/e2e/fixtures/new-releases.reg). The 64-bit edition shows and ticks
# their boxes; the 32-bit edition hides them, leaves them clear and so has
# nothing to install.
found=(2017 2020 2022 2025 2026)
setup_prepare "$E2E_FIXTURES/new-releases.reg"

e2e_log "run 1: the edition's boxes"
setup_start_and_check "${found[@]}"
e2e_shot "$SETUP_CAPTION" "$E2E_SHOTS/$E2E_NAME-start.png"

if [ "$VM_EDITION_BITS" = 64 ]; then
  # Every release has a box in this edition, 2017..2026 included.
  words=()
  for y in "${SETUP_RELEASES[@]}"; do words+=(";" expect "$(setup_box_id "$y")" visible); done
  mapfile -t untick < <(setup_untick_words "${found[@]}")
  drv window "$SETUP_CAPTION" "${words[@]}" "${untick[@]}" \
    ";" check "$(setup_box_id 2026)" ";" expect "$ID_INSTALL" enabled
fi

drv window "$SETUP_CAPTION" ";" click "$ID_CANCEL" ";" gone ";" exited
e2e_expect_ended 20

e2e_log "run 2: the caption's close box"
setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" close ";" gone ";" exited
e2e_expect_ended 20
