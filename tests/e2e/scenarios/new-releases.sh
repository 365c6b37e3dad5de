# SetUp.exe on a workstation with only AutoCAD 2017 and later
# (fixtures/new-releases.reg). The 64-bit edition shows and ticks their boxes;
# the 32-bit edition hides them, leaves them clear and so has nothing to install.
found=(2017 2020 2022 2025 2026)
# A 32-bit program sees the 2018 below Wow6432Node as its own (discovery.sh).
[ "$VM_PROGRAM_BITS" = 32 ] && found+=(2018)
setup_prepare "$E2E_FIXTURES/new-releases.reg"
setup_start "${found[@]}"
e2e_shot "$SETUP_CAPTION" start
if [ "$VM_EDITION_BITS" = 64 ]; then
  # Each box counts: unticked one by one, the button goes only with the last.
  setup_untick "${found[@]}"
  drv window "$SETUP_CAPTION" ";" check "$(setup_box_id 2026)" ";" expect "$ID_INSTALL" enabled
fi
setup_end_by click "$ID_CANCEL"
