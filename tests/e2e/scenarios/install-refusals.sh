# What the install button refuses before it installs, on the workstation of
# install-default: AutoCAD running (the driver, copied as acad.exe, sleeping) is
# refused once; a relative folder is refused with nothing created; then a typed
# folder with a trailing backslash installs, the backslash dropped.
setup_prepare "$E2E_FIXTURES/install.reg"
mkdir -p "$WINEPREFIX/drive_c/FakeAcad"
cp "$VM_DRIVER" "$WINEPREFIX/drive_c/FakeAcad/acad.exe"
(cd "$WINEPREFIX/drive_c/FakeAcad" && exec /usr/lib/wine/wine64 acad.exe sleep 300000) >/dev/null 2>&1 &
# Wine names the Linux process after the Windows program once that runs.
for ((i = 0; i < 100; i++)); do pgrep -fx 'acad.exe sleep 300000' >/dev/null && break || sleep 0.1; done

setup_start 2008 2010 2013 2016
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 20000 ";" expect-contains 0xFFFF '请关闭AutoCAD后再进行安装 !'
e2e_shot 'Vellmark-软件安装' acad-running
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" expect "$ID_INSTALL" enabled visible
[ ! -e "$WINEPREFIX/drive_c/Kavtor" ] || e2e_die "the refusal created the install folder"
e2e_log "AutoCAD running: refused, nothing created"

drv window "$SETUP_CAPTION" ";" set-text "$ID_FOLDER" 'Tools' ";" click "$ID_INSTALL" ";" msgbox 20000 \
  ";" expect-contains 0xFFFF '安装路径无效，请重新选择安装路径 !'
e2e_shot 'Vellmark-软件安装' relative
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" expect "$ID_INSTALL" enabled visible
for d in "$E2E_DIST/Tools" "$WINEPREFIX/drive_c/Tools" "$WINEPREFIX/drive_c/Kavtor"; do
  [ ! -e "$d" ] || e2e_die "a relative folder was created: $d"
done
e2e_log "relative folder: refused, nothing created"

# AutoCAD still runs, but the program warns only once: this click installs.
drv window "$SETUP_CAPTION" ";" set-text "$ID_FOLDER" 'C:\Tools\' ";" expect-text "$ID_FOLDER" 'C:\Tools\' \
  ";" click "$ID_INSTALL"
setup_done
cmp -s "$E2E_DIST/Data/Kavtor2015.ARX" "$WINEPREFIX/drive_c/Tools/Vellmark/Kavtor2015.ARX" ||
  e2e_die "nothing installed into C:\\Tools\\Vellmark"
e2e_expect_value "$E2E_ACAD\\R20.1\\ACAD-F001:804\\Applications\\Kavtor2016" LOADER 'C:\Tools\Vellmark\Kavtor2015.ARX'
e2e_log "installed into C:\\Tools\\Vellmark, the trailing backslash dropped"
