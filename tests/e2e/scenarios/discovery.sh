# SetUp.exe where AutoCAD 2008 (below Wow6432Node), 2010, 2013 (a Chinese product
# name), 2016 and 2017 to 2026 are installed, beside entries that look alike but
# are no installations (fixtures/discovery.reg): the boxes this edition shows in
# its registry view, the install button following them, the close box.
found=(2008 2010 2013 2016 2017 2020 2022 2025 2026)
# A 32-bit program reads the Wow6432Node branch as its own AutoCAD key, and there
# its main scan takes every release: the 2009 and 2018 below it are installations.
[ "$VM_PROGRAM_BITS" = 32 ] && found+=(2009 2018)
setup_prepare "$E2E_FIXTURES/discovery.reg"
setup_start "${found[@]}"
e2e_shot "$SETUP_CAPTION" start
# A driver that saw what is not there, or clicked what a user cannot, would pass
# the checks above: these must fail. The dump (which the demo reads) must agree.
box2011=$(setup_box_id 2011)
for wrong in "expect $box2011 enabled" "expect $box2011 checked" "expect $ID_INSTALL hidden" "click $box2011" \
  "expect caption Vellmark" "msgbox 300"; do
  ! drv --timeout 300 window "$SETUP_CAPTION" ";" $wrong 2>/dev/null || e2e_die "the driver could $wrong"
done
enabled="$(drv window "$SETUP_CAPTION" ";" dump | grep -c '^  10[0-9][0-9] Button enabled .*"For AutoCAD20')"
[ "$enabled" = ${#found[@]} ] || e2e_die "the dump shows $enabled enabled boxes, not ${#found[@]} (hidden ones too)"
# Unticked one by one, the install button goes with the last; ticking one brings it back.
for y in "${found[@]}"; do
  setup_box_shown "$y" && words+=(";" expect "$ID_INSTALL" enabled ";" uncheck "$(setup_box_id "$y")")
done
drv window "$SETUP_CAPTION" "${words[@]}" ";" expect "$ID_INSTALL" disabled
e2e_shot "$SETUP_CAPTION" none-ticked
drv window "$SETUP_CAPTION" ";" check "$(setup_box_id 2013)" ";" expect "$ID_INSTALL" enabled
e2e_shot "$SETUP_CAPTION" one-ticked
# The close box, which Wine draws itself where no window manager runs, ends it.
drv window "$SETUP_CAPTION" ";" close ";" gone
e2e_wait_ended 20
[ "$E2E_STATUS" = 0 ] || e2e_die "the program ended with $E2E_STATUS"
