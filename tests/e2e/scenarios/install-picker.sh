# The folder chosen through the browse window, on the workstation of install-default:
# cancelled, the folder stays; typed with a trailing backslash after a folder name,
# refused as invalid; typed without, "create it?" answered No (the window stays,
# nothing created), then Yes (created, the window closes, the dialog shows it);
# the installation then goes there.
setup_prepare "$E2E_FIXTURES/install.reg"
browse='请选择安装目录：'
edit=14148
chosen='C:\结构工具'
chosen_unix="$WINEPREFIX/drive_c/结构工具"

# The dialog's folder C:\Kavtor does not exist yet: the tree cannot select it, no
# selection change fills our edit box, and it stays empty.
setup_start 2008 2010 2013 2016
drv window "$SETUP_CAPTION" ";" click "$ID_BROWSE" ";" dialog "$browse" 20000 \
  ";" expect "$edit" enabled visible ";" expect-text "$edit" '' ";" expect 14147 hidden
e2e_shot "$browse" browse
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" click "$ID_CANCEL" ";" gone ";" expect-text "$ID_FOLDER" "$SETUP_FOLDER"
e2e_log "browse window cancelled: the folder is still $SETUP_FOLDER"

drv window "$SETUP_CAPTION" ";" click "$ID_BROWSE" ";" dialog "$browse" 20000 ";" set-text "$edit" "$chosen\\" \
  ";" click 1 ";" msgbox 20000 ";" expect-text caption SetUp \
  ";" expect-text 0xFFFF "The folder:

$chosen\\

is invalid. Please reenter."
e2e_shot SetUp invalid
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" msgbox ";" answer ok ";" expect "$edit" visible
[ ! -e "$chosen_unix" ] || e2e_die "the refused folder was created"

drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" set-text "$edit" "$chosen" ";" click 1 ";" msgbox 20000 \
  ";" expect-text caption SetUp ";" expect-contains 0xFFFF 'does not exist. Do you want the folder to be created?' \
  ";" expect-contains 0xFFFF "$chosen"
e2e_shot SetUp create-question
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" msgbox ";" answer no ";" expect "$edit" visible
[ ! -e "$chosen_unix" ] || e2e_die "the folder was created although the question was answered No"
drv window "$SETUP_CAPTION" ";" dialog "$browse" ";" click 1 ";" msgbox 20000 ";" answer yes ";" gone \
  ";" expect-text "$ID_FOLDER" "$chosen"
[ -d "$chosen_unix" ] || e2e_die "the browse window did not create $chosen"
e2e_log "a new folder typed in the browse window: created after Yes, and now the dialog's folder"

drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL"
setup_done
for f in Kavtor2010.ARX vmtools.arx 说明.txt; do
  cmp -s "$E2E_DIST/Data/$f" "$chosen_unix/Vellmark/$f" || e2e_die "$chosen\\Vellmark: $f missing or different"
done
e2e_expect_value "$E2E_ACAD\\R19.0\\ACAD-B001:804\\Applications\\Kavtor2013" LOADER 'C:\结构工具\Vellmark\Kavtor2013.ARX'
e2e_expect_value 'HKCU\Software\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Profiles\Default\Variables' TRUSTEDPATHS \
  'C:\结构工具\Vellmark'
e2e_log "installed into the folder created through the browse window"
