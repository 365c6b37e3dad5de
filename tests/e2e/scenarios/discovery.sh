# SetUp.exe on a workstation with AutoCAD 2010 and 2016 (64-bit registry view),
# 2008 (32-bit view), a 2013 whose product name is Chinese, a 2017, and entries
# that look like installations but are not (tests/e2e/fixtures/discovery.reg).
# Three runs: the dialog and its boxes, ended by Cancel; ended by the caption's
# close box; ended by Escape.
found=(2008 2010 2013 2016 2017)
setup_prepare "$E2E_FIXTURES/discovery.reg"

e2e_log "run 1: what discovery found, the install button, Cancel"
setup_start_and_check "${found[@]}"
e2e_shot "$SETUP_CAPTION" "$E2E_SHOTS/$E2E_NAME-start.png"

mapfile -t untick < <(setup_untick_words "${found[@]}")
drv window "$SETUP_CAPTION" "${untick[@]}"
e2e_shot "$SETUP_CAPTION" "$E2E_SHOTS/$E2E_NAME-none-ticked.png"

# Ticking one again brings the install button back, and only that box is ticked.
drv window "$SETUP_CAPTION" ";" check "$(setup_box_id 2010)" ";" expect "$ID_INSTALL" enabled \
  ";" expect "$(setup_box_id 2008)" unchecked ";" expect "$(setup_box_id 2016)" unchecked \
  ";" uncheck "$(setup_box_id 2010)" ";" expect "$ID_INSTALL" disabled \
  ";" check "$(setup_box_id 2013)" ";" expect "$ID_INSTALL" enabled
e2e_shot "$SETUP_CAPTION" "$E2E_SHOTS/$E2E_NAME-one-ticked.png"

drv window "$SETUP_CAPTION" ";" click "$ID_CANCEL" ";" gone ";" exited
e2e_expect_ended 20

e2e_log "run 2: the caption's close box"
setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" close ";" gone ";" exited
e2e_expect_ended 20

e2e_log "run 3: Escape"
setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" key escape ";" gone ";" exited
e2e_expect_ended 20
