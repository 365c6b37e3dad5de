# The package folder: without one the installation stops with its message and
# registers nothing; a package of 150 files is installed whole.
found=(2008 2010 2013 2016)
fixture="$E2E_FIXTURES/install.reg"
setup_prepare "$fixture"
loader_key='HKLM\SOFTWARE\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Applications\Kavtor2016'

e2e_log "run 1: no Data folder"
mv "$E2E_WORK/dist/Data" "$E2E_WORK/Data.aside"
setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 30000 \
  ";" expect-contains 0xFFFF '未找到安装所需的Data文件夹 !'
e2e_shot 'Vellmark-软件安装' "$E2E_SHOTS/$E2E_NAME-no-data.png"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30
if e2e_wine reg query "$loader_key" >/dev/null 2>&1; then e2e_die "registered without a package"; fi
[ -z "$(ls -A "$WINEPREFIX/drive_c/Kavtor/Vellmark" 2>/dev/null)" ] || e2e_die "files installed without a package"
e2e_log "no package: told, nothing registered, nothing copied"

e2e_log "run 2: 150 files"
mv "$E2E_WORK/Data.aside" "$E2E_WORK/dist/Data"
mapfile -t parts < <(seq -f 'part%g.dat' 1 145)
e2e_add_package_files "$E2E_WORK/dist" "${parts[@]}" Kavtor2015.ARX
count=$(find "$E2E_WORK/dist/Data" -maxdepth 1 -type f | wc -l)
[ "$count" -ge 150 ] || e2e_die "the package has only $count files"
setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 120000 ";" expect-contains 0xFFFF '安装完成' \
  ";" answer ok ";" msgbox 20000 ";" answer ok
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30
product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
(cd "$E2E_WORK/dist/Data" && for f in *; do
  [ -f "$f" ] || continue
  cmp -s "$f" "$product/$f" || e2e_die "$f not installed"
done)
e2e_wine reg query "$loader_key" >/dev/null 2>&1 || e2e_die "not registered"
e2e_log "all $count package files installed"
