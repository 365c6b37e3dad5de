# What the install button refuses before it installs, on the workstation of
# install-default: AutoCAD running (a program of ours started as acad.exe) is
# refused once; a relative folder is refused with nothing created; then a typed
# folder with a trailing backslash installs, the backslash dropped.
found=(2008 2010 2013 2016)
fixture="$E2E_FIXTURES/install.reg"
setup_prepare "$fixture"
e2e_add_package_files "$E2E_WORK/dist" Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX ACAD2013.dll

# AutoCAD, as far as the process list can tell.
sleeper="$(dirname "$VM_DRIVER")/../../platform/vm_sleeper.exe"
[ -f "$sleeper" ] || e2e_die "no $sleeper (build the win64 preset)"
mkdir -p "$WINEPREFIX/drive_c/FakeAcad"
cp "$sleeper" "$WINEPREFIX/drive_c/FakeAcad/acad.exe"
(cd "$WINEPREFIX/drive_c/FakeAcad" && exec "$VM_SOURCE_DIR/tools/wine-run.sh" acad.exe 120) >/dev/null 2>&1 &
acad_pid=$!
trap 'kill "$acad_pid" 2>/dev/null || true' EXIT
sleep 2

setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 20000 \
  ";" expect-contains 0xFFFF '请关闭AutoCAD后再进行安装 !'
e2e_shot 'Vellmark-软件安装' "$E2E_SHOTS/$E2E_NAME-acad-running.png"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok
[ ! -e "$WINEPREFIX/drive_c/Kavtor" ] || e2e_die "the refusal created the install folder"
e2e_log "AutoCAD running: refused, nothing created"

drv window "$SETUP_CAPTION" ";" set-text 1000 'Tools' ";" click "$ID_INSTALL" ";" msgbox 20000 \
  ";" expect-contains 0xFFFF '安装路径无效，请重新选择安装路径 !'
e2e_shot 'Vellmark-软件安装' "$E2E_SHOTS/$E2E_NAME-relative.png"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" expect "$ID_INSTALL" enabled visible
for d in "$E2E_WORK/dist/Tools" "$WINEPREFIX/drive_c/Tools" "$WINEPREFIX/drive_c/Kavtor"; do
  [ ! -e "$d" ] || e2e_die "a relative folder was created: $d"
done
e2e_log "relative folder: refused, nothing created"

# The second click installs although AutoCAD still runs.
drv window "$SETUP_CAPTION" ";" set-text 1000 'C:\Tools\' ";" click "$ID_INSTALL" \
  ";" msgbox 60000 ";" expect-contains 0xFFFF '安装完成' ";" answer ok \
  ";" msgbox 20000 ";" answer ok
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30
cmp -s "$E2E_WORK/dist/Data/Kavtor2015.ARX" "$WINEPREFIX/drive_c/Tools/Vellmark/Kavtor2015.ARX" ||
  e2e_die "nothing installed into C:\\Tools\\Vellmark"
got="$(e2e_wine reg query 'HKLM\SOFTWARE\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Applications\Kavtor2016' /v LOADER 2>/dev/null |
  tr -d '\r' | sed -n 's/^ *LOADER *REG_SZ *//p')"
[ "$got" = 'C:\Tools\Vellmark\Kavtor2015.ARX' ] || e2e_die "2016 LOADER is \"$got\""
e2e_log "second click installed into C:\\Tools\\Vellmark, the trailing backslash dropped"
