# SetUp.exe on a workstation with AutoCAD 2010 and 2016, 2008 below Wow6432Node,
# a 2013 whose product name is Chinese, a 2017, and entries that look like
# installations but are not (fixtures/discovery.reg). Three runs: the boxes and
# the install button, ended by Cancel; ended by the close box; ended by Escape.
found=(2008 2010 2013 2016 2017)
# A 32-bit program reads the Wow6432Node branch as its own AutoCAD key, and there
# its main scan takes every release: the 2009 below it is its installation.
[ "$VM_PROGRAM_BITS" = 32 ] && found+=(2009)
setup_prepare "$E2E_FIXTURES/discovery.reg"

e2e_log "run 1: what discovery found, the install button, Cancel"
setup_start "${found[@]}"
e2e_shot "$SETUP_CAPTION" start
setup_untick "${found[@]}"
e2e_shot "$SETUP_CAPTION" none-ticked
# Ticking one again brings the install button back, and only that box is ticked.
drv window "$SETUP_CAPTION" ";" check "$(setup_box_id 2010)" ";" expect "$ID_INSTALL" enabled \
  ";" expect "$(setup_box_id 2008)" unchecked ";" expect "$(setup_box_id 2016)" unchecked \
  ";" uncheck "$(setup_box_id 2010)" ";" expect "$ID_INSTALL" disabled \
  ";" check "$(setup_box_id 2013)" ";" expect "$ID_INSTALL" enabled ";" expect "$(setup_box_id 2013)" checked
e2e_shot "$SETUP_CAPTION" one-ticked
setup_end_by click "$ID_CANCEL"

e2e_log "run 2: the caption's close box"
setup_start "${found[@]}"
setup_end_by close

e2e_log "run 3: Escape"
setup_start "${found[@]}"
setup_end_by key escape
