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
# A driver that saw what is not there, or clicked what a user cannot, would pass
# the checks above: these must fail. The dump (which the demo reads) must agree.
box2011=$(setup_box_id 2011)
for wrong in "expect $box2011 enabled" "expect $box2011 disabled checked" "expect $ID_INSTALL hidden" "click $box2011" \
  "expect-text caption Vellmark" "msgbox 300"; do
  ! drv --timeout 300 window "$SETUP_CAPTION" ";" $wrong 2>/dev/null || e2e_die "the driver could $wrong"
done
# Every found release's box is enabled, a hidden one too (the 32-bit edition hides 2017).
enabled="$(drv window "$SETUP_CAPTION" ";" dump | grep -c '^  10[0-9][0-9] Button enabled .*"For AutoCAD20')"
[ "$enabled" = ${#found[@]} ] || e2e_die "the dump shows $enabled enabled boxes, not ${#found[@]}"
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
