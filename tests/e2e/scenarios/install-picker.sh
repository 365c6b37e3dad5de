# The folder chosen through the real browse window, on the machine of
# install-default: cancelled, the folder stays; typed with a trailing backslash,
# refused; a new Chinese folder typed, "create it?" answered No (nothing made, the
# window stays), then Yes (made, the dialog shows it); the installation goes there.
setup_prepare "$E2E_FIXTURES/install.reg"
# A profile trusting the chosen folder's subfolders already keeps its list.
e2e_profile 'R20.1\ACAD-F001:804' 结构 'C:\结构工具\...'
browse='请选择安装目录：' edit=14148 chosen='C:\结构工具' chosen_unix="$WINEPREFIX/drive_c/结构工具"
setup_start 2008 2010 2013 2016
# The dialog's folder C:\Kavtor does not exist: the tree selects nothing, and
# no selection change fills our edit box.
drv window "$SETUP_CAPTION" ";" click "$ID_BROWSE" ";" dialog "$browse" 20000 ";" expect "$edit" 'enabled visible ""'
e2e_shot "$browse" browse
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" click "$ID_CANCEL" ";" gone ";" expect "$ID_FOLDER" "\"$SETUP_FOLDER\""
setup_box invalid ok ";" click "$ID_BROWSE" ";" dialog "$browse" 20000 ";" set-text "$edit" "$chosen\\" ";" click 1 \
  ";" msgbox 20000 ";" expect caption '"SetUp"' ";" expect 0xFFFF "\"The folder:

$chosen\\

is invalid. Please reenter.\""
setup_box create-question no ";" dialog "$browse" ";" set-text "$edit" "$chosen" ";" click 1 ";" msgbox 20000 \
  ";" expect-contains 0xFFFF "$chosen" ";" expect-contains 0xFFFF 'does not exist. Do you want the folder to be created?'
[ ! -e "$chosen_unix" ] || e2e_die "the folder was made although refused or answered No"
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" click 1 ";" msgbox 20000 ";" answer yes ";" gone \
  ";" expect "$ID_FOLDER" "\"$chosen\"" ";" click "$ID_INSTALL"
setup_done
for f in Kavtor2010.ARX vmtools.arx 说明.txt; do
  cmp -s "$E2E_DIST/Data/$f" "$chosen_unix/Vellmark/$f" || e2e_die "$chosen\\Vellmark: $f missing or different"
done
e2e_expect_value "$E2E_ACAD\\R19.0\\ACAD-B001:804\\Applications\\Kavtor2013" LOADER 'C:\结构工具\Vellmark\Kavtor2013.ARX'
profiles='HKCU\Software\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Profiles'
e2e_expect_value "$profiles\\Default\\Variables" TRUSTEDPATHS 'C:\结构工具\Vellmark'
e2e_expect_value "$profiles\\结构\\Variables" TRUSTEDPATHS 'C:\结构工具\...'
