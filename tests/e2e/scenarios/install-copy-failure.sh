# A package file that cannot be copied (a folder stands where the copy must go:
# CopyFileA fails for it on Windows and under Wine alike), answered with Abort,
# Retry and Ignore in three runs on the workstation of install-default.
setup_prepare "$E2E_FIXTURES/install.reg"
product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
loader_key="$E2E_ACAD\\R20.1\\ACAD-F001:804\\Applications\\Kavtor2016"
mkdir -p "$product/Kavtor2015.ARX"
# question: SetUp.exe started and install clicked; the question must name the file.
question() {
  setup_start 2008 2010 2013 2016
  drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 60000 \
    ";" expect-contains 0xFFFF 'C:\Kavtor\Vellmark\Kavtor2015.ARX' >/dev/null
}

e2e_log "run 1: Abort"
question
e2e_shot 'Vellmark-软件安装' question
# While the question waits the dialog is mid-copy: the progress bar stands in the folder row's place.
drv window "$SETUP_CAPTION" ";" expect "$ID_PROGRESS" visible ";" expect "$ID_FOLDER" hidden \
  ";" expect "$ID_BROWSE" hidden ";" expect 1017 hidden
e2e_shot "$SETUP_CAPTION" progress
drv window "$SETUP_CAPTION" ";" msgbox ";" answer abort
e2e_wait_ended 30
! e2e_key_exists "$loader_key" || e2e_die "Abort still registered"
e2e_log "Abort: the dialog ended, nothing registered"

e2e_log "run 2: Retry once the way is free"
question
rmdir "$product/Kavtor2015.ARX"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer retry
setup_done
cmp -s "$E2E_DIST/Data/Kavtor2015.ARX" "$product/Kavtor2015.ARX" || e2e_die "Retry did not copy"
e2e_key_exists "$loader_key" || e2e_die "Retry: not registered"
e2e_log "Retry: copied and registered"

e2e_log "run 3: Ignore"
rm -r "$product" && mkdir -p "$product/Kavtor2015.ARX"
question
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ignore
setup_done
[ -d "$product/Kavtor2015.ARX" ] || e2e_die "Ignore: the folder in the way changed"
for f in "${SETUP_PACKAGE[@]}"; do
  [[ "$f" == Kavtor2015.ARX || "$f" == Kavtor_*.shx ]] || cmp -s "$E2E_DIST/Data/$f" "$product/$f" ||
    e2e_die "Ignore: $f not copied"
done
e2e_log "Ignore: the rest installed"
