# The folder chosen through the browse window, on the workstation of
# install-default: opened and cancelled (the folder stays as it was); opened
# again, a folder typed with a trailing backslash is refused as invalid (the
# picker's rule: a path may not end in a backslash after a folder name); typed
# without it, the folder does not exist, the question "create it?" is answered
# No (the window stays, nothing created) and then Yes (the folder is created,
# the window closes and the dialog shows it); then the installation goes there.
found=(2008 2010 2013 2016)
fixture="$E2E_FIXTURES/install.reg"
setup_prepare "$fixture"
e2e_add_package_files "$E2E_WORK/dist" Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX ACAD2013.dll
browse='请选择安装目录：'
ID_PICKER_EDIT=14148
chosen='C:\结构工具'
chosen_unix="$WINEPREFIX/drive_c/结构工具"

# The dialog's folder C:\Kavtor does not exist yet: the tree cannot select it, no
# selection change fills our edit box, and it stays empty.
setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" click "$ID_BROWSE" ";" dialog "$browse" 20000 \
  ";" expect "$ID_PICKER_EDIT" enabled visible ";" expect-text "$ID_PICKER_EDIT" '' ";" expect 14147 hidden
e2e_shot "$browse" "$E2E_SHOTS/$E2E_NAME-browse.png"
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" click "$ID_CANCEL" ";" gone \
  ";" expect-text "$ID_FOLDER" "$SETUP_FOLDER"
e2e_log "browse window cancelled: the folder is still $SETUP_FOLDER"

drv window "$SETUP_CAPTION" ";" click "$ID_BROWSE" ";" dialog "$browse" 20000 \
  ";" set-text "$ID_PICKER_EDIT" "$chosen\\" ";" expect 1 enabled ";" click 1 ";" msgbox 20000 \
  ";" expect-text caption SetUp ";" expect-text 0xFFFF "The folder:

$chosen\\

is invalid. Please reenter."
e2e_shot SetUp "$E2E_SHOTS/$E2E_NAME-invalid.png"
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" msgbox ";" answer ok ";" expect "$ID_PICKER_EDIT" visible
[ ! -e "$chosen_unix" ] || e2e_die "the refused folder was created"

drv window "$SETUP_CAPTION" ";" dialog "$browse" \
  ";" set-text "$ID_PICKER_EDIT" "$chosen" ";" expect 1 enabled ";" click 1 ";" msgbox 20000 \
  ";" expect-text caption SetUp ";" expect-contains 0xFFFF 'does not exist. Do you want the folder to be created?' \
  ";" expect-contains 0xFFFF "$chosen"
e2e_shot SetUp "$E2E_SHOTS/$E2E_NAME-create-question.png"
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" msgbox ";" answer no ";" expect "$ID_PICKER_EDIT" visible
[ ! -e "$chosen_unix" ] || e2e_die "the folder was created although the question was answered No"
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" click 1 ";" msgbox 20000 ";" answer yes ";" gone \
  ";" expect-text "$ID_FOLDER" "$chosen"
[ -d "$chosen_unix" ] || e2e_die "the picker did not create $chosen"
e2e_log "a new folder typed in the browse window: created after Yes, and now the dialog's folder"

drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 60000 \
  ";" expect-contains 0xFFFF '安装完成，重启CAD即可使用 !' ";" answer ok ";" msgbox 20000 ";" answer ok
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30

for f in Kavtor2010.ARX vmtools.arx 说明.txt; do
  cmp -s "$E2E_WORK/dist/Data/$f" "$chosen_unix/Vellmark/$f" || e2e_die "$chosen""Vellmark: $f missing or different"
done
e2e_expect_value 'HKLM\SOFTWARE\Autodesk\AutoCAD\R19.0\ACAD-B001:804\Applications\Kavtor2013' LOADER \
  'C:\结构工具\Vellmark\Kavtor2013.ARX'
e2e_expect_value 'HKCU\Software\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Profiles\Default\Variables' TRUSTEDPATHS \
  'C:\结构工具\Vellmark'
e2e_log "installed into the folder created through the browse window"
