# A package file that cannot be copied (a folder stands where the copy must go:
# CopyFileA fails for it on Windows and under Wine alike), answered with Abort,
# Retry and Ignore in three runs on one workstation.
found=(2008 2010 2013 2016)
fixture="$E2E_FIXTURES/install.reg"
setup_prepare "$fixture"
e2e_add_package_files "$E2E_WORK/dist" Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX
product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
loader_key='HKLM\SOFTWARE\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Applications\Kavtor2016'
mkdir -p "$product/Kavtor2015.ARX"

question() {
  drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 60000 \
    ";" expect-contains 0xFFFF 'C:\Kavtor\Vellmark\Kavtor2015.ARX'
}
finish() {
  drv window "$SETUP_CAPTION" ";" msgbox 60000 ";" expect-contains 0xFFFF '安装完成' ";" answer ok \
    ";" msgbox 20000 ";" answer ok
  drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
  e2e_expect_ended 30
}

e2e_log "run 1: Abort"
setup_start_and_check "${found[@]}"
question
e2e_shot 'Vellmark-软件安装' "$E2E_SHOTS/$E2E_NAME-question.png"
# While the question waits the dialog is mid-copy: the folder row gave way to
# the progress bar.
drv window "$SETUP_CAPTION" ";" expect 1014 visible ";" expect "$ID_FOLDER" hidden ";" expect "$ID_BROWSE" hidden \
  ";" expect 1017 hidden
e2e_shot "$SETUP_CAPTION" "$E2E_SHOTS/$E2E_NAME-progress.png"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer abort
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30
if e2e_wine reg query "$loader_key" >/dev/null 2>&1; then e2e_die "Abort still registered"; fi
e2e_log "Abort: the dialog ended, nothing registered"

e2e_log "run 2: Retry once the way is free"
setup_start_and_check "${found[@]}"
question
rmdir "$product/Kavtor2015.ARX"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer retry
finish
cmp -s "$E2E_WORK/dist/Data/Kavtor2015.ARX" "$product/Kavtor2015.ARX" || e2e_die "Retry did not copy"
e2e_wine reg query "$loader_key" >/dev/null 2>&1 || e2e_die "Retry: not registered"
e2e_log "Retry: copied and registered"

e2e_log "run 3: Ignore"
rm -f "$product/Kavtor2015.ARX"
mkdir -p "$product/Kavtor2015.ARX"
setup_start_and_check "${found[@]}"
question
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ignore
finish
[ -d "$product/Kavtor2015.ARX" ] || e2e_die "Ignore: the folder in the way changed"
cmp -s "$E2E_WORK/dist/Data/Kavtor2013.ARX" "$product/Kavtor2013.ARX" || e2e_die "Ignore: the rest not copied"
e2e_log "Ignore: the rest installed"
