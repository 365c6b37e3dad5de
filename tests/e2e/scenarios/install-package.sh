# The package folder: without one the installation stops with its message and
# registers nothing; a package of 150 files is installed whole.
setup_prepare "$E2E_FIXTURES/install.reg"
loader_key="$E2E_ACAD\\R20.1\\ACAD-F001:804\\Applications\\Kavtor2016"
product="$WINEPREFIX/drive_c/Kavtor/Vellmark"

e2e_log "run 1: no Data folder"
mv "$E2E_DIST/Data" "$E2E_WORK/Data.aside"
setup_start 2008 2010 2013 2016
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 30000 ";" expect-contains 0xFFFF '未找到安装所需的Data文件夹 !'
e2e_shot 'Vellmark-软件安装' no-data
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok
e2e_wait_ended 30
! e2e_key_exists "$loader_key" || e2e_die "registered without a package"
[ -z "$(ls -A "$product" 2>/dev/null)" ] || e2e_die "files installed without a package"
e2e_log "no package: told, the dialog ended, nothing registered, nothing copied"

e2e_log "run 2: 150 files"
mv "$E2E_WORK/Data.aside" "$E2E_DIST/Data"
mapfile -t parts < <(seq -f 'part%g.dat' 1 $((150 - ${#SETUP_PACKAGE[@]})))
setup_add_files "${parts[@]}"
setup_start 2008 2010 2013 2016
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL"
setup_done
for f in "${parts[@]}" "${SETUP_PACKAGE[@]}"; do
  [[ "$f" == Kavtor_*.shx ]] || cmp -s "$E2E_DIST/Data/$f" "$product/$f" || e2e_die "$f not installed"
done
e2e_key_exists "$loader_key" || e2e_die "not registered"
e2e_log "all 150 package files installed"
