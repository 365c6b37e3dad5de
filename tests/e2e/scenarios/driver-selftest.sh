# vm_driver against vm_e2e_probe, a dialog of our own: every verb the SetUp
# scenarios rely on must see and do what a user would. The probe's exit code
# tells which action reached it (see tests/e2e/probe/probe.cpp).
PROBE_CAPTION='探针-驱动自测'

e2e_fresh_prefix "$E2E_WORK/wineprefix"
e2e_seed_display
e2e_make_dist "$E2E_WORK/dist" "$VM_PROGRAM"
exe="$(basename "$VM_PROGRAM")"

e2e_log "run 1: reading, clicking, typing, a message box, the go button"
e2e_start "$E2E_WORK/dist" "$exe" "$E2E_WORK/program-1.log"
drv window "$PROBE_CAPTION" 30000 \
  ";" expect-text caption "$PROBE_CAPTION" ";" expect-text 1001 '结构工具箱 驱动自测' \
  ";" expect 1002 enabled visible checked ";" expect 1003 disabled visible unchecked \
  ";" expect 1004 hidden unchecked ";" expect 9999 missing ";" expect-text 1006 'C:\Kavtor' \
  ";" expect-text 2 '取  消'
[ "$(drv window "$PROBE_CAPTION" ";" text 1001)" = '结构工具箱 驱动自测' ] || e2e_die "text does not print UTF-8"
e2e_shot "$PROBE_CAPTION" "$E2E_SHOTS/$E2E_NAME-start.png"

# The driver must refuse what a user cannot do, and a wrong expectation must fail.
drv --timeout 300 window "$PROBE_CAPTION" ";" click 1003 2>/dev/null && e2e_die "clicked a greyed-out box"
drv --timeout 300 window "$PROBE_CAPTION" ";" click 1004 2>/dev/null && e2e_die "clicked a hidden box"
drv --timeout 300 window "$PROBE_CAPTION" ";" expect 1002 unchecked 2>/dev/null && e2e_die "a wrong expect held"
drv --timeout 300 window "$PROBE_CAPTION" ";" expect-text 1001 '结构' 2>/dev/null && e2e_die "a partial text matched"
drv --timeout 300 window "$PROBE_CAPTION" ";" msgbox 2>/dev/null && e2e_die "found a message box that is not there"
drv --timeout 300 window "no such window" 2>/dev/null && e2e_die "found a window that is not there"

# Unticking the box greys the go button out (the program reacts to the click).
drv window "$PROBE_CAPTION" ";" uncheck 1002 ";" expect 1005 disabled ";" expect 1002 unchecked \
  ";" check 1002 ";" expect 1005 enabled ";" click 1002 ";" expect 1002 unchecked ";" click 1002 \
  ";" expect 1002 checked ";" expect-contains 1001 '驱动'

# A message box opened by a click: found, read, answered, and the answer arrives.
out="$(drv window "$PROBE_CAPTION" ";" click 1007 ";" msgbox)"
printf '%s\n' "$out"
e2e_shot '探针提问' "$E2E_SHOTS/$E2E_NAME-msgbox.png"
drv window "$PROBE_CAPTION" ";" msgbox ";" expect-contains 0xFFFF '第二行' ";" answer yes ";" expect-text 1008 '答：是'
grep -q '^caption #32770 enabled visible "探针提问"$' <<<"$out" || e2e_die "msgbox did not report its caption"
grep -q '^65535 Static .*"要继续吗？\\n第二行"$' <<<"$out" || e2e_die "msgbox did not report its text"
drv window "$PROBE_CAPTION" ";" click 1007 ";" msgbox ";" answer no ";" expect-text 1008 '答：否' >/dev/null

# Chinese typed into the edit box reaches the program as UTF-16: the go button
# ends the probe with 40 + the text's length in UTF-16 units (8 here).
drv window "$PROBE_CAPTION" ";" set-text 1006 'D:\结构工具箱' ";" expect-text 1006 'D:\结构工具箱' \
  ";" click 1005 ";" gone ";" exited
e2e_expect_ended 20
[ "$E2E_STATUS" -eq 48 ] || e2e_die "the go button ended the probe with $E2E_STATUS, not 48"

e2e_log "run 2: the caption's close box"
e2e_start "$E2E_WORK/dist" "$exe" "$E2E_WORK/program-2.log"
drv window "$PROBE_CAPTION" 30000 ";" close ";" gone ";" exited
e2e_expect_ended 20
[ "$E2E_STATUS" -eq 30 ] || e2e_die "the close box ended the probe with $E2E_STATUS, not 30"

e2e_log "run 3: Escape"
e2e_start "$E2E_WORK/dist" "$exe" "$E2E_WORK/program-3.log"
drv window "$PROBE_CAPTION" 30000 ";" key escape ";" gone
e2e_expect_ended 20
[ "$E2E_STATUS" -eq 2 ] || e2e_die "Escape ended the probe with $E2E_STATUS, not 2 (IDCANCEL)"
