# A user who may not write into one AutoCAD folder, on the workstation of
# install-default: the three support-file copies into AutoCAD 2013's folder are
# refused. The installation goes on; before the completion messages one message
# says what failed, naming each file, and the other installations got theirs.
#
# How the refusal is made: the tests run as root, and Wine (8) as root writes
# over a read-only file (CopyFileA succeeds where Windows answers "access
# denied"), so neither the folder's Unix permissions nor read-only files stop
# it. A folder standing where a file must go is refused by Windows and Wine
# alike, with the same error a user without write access meets (5).
found=(2008 2010 2013 2016)
fixture="$E2E_FIXTURES/install.reg"
setup_prepare "$fixture"
data="$E2E_WORK/dist/Data"
e2e_add_package_files "$E2E_WORK/dist" Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX \
  Kavtor_EN.shx Kavtor_HZ.shx ACAD2010.dll ACAD2013.dll
locked_win='C:\Program Files\欧特克\AutoCAD 2013'
locked="$(e2e_unix_path "$locked_win")"
[ -d "$locked" ] || e2e_die "the fixture has no $locked_win"
for f in Fonts/Kavtor_EN.shx Fonts/Kavtor_HZ.shx ACAD2013.dll; do
  mkdir -p "$locked/$f" && printf "the user's own file\n" >"$locked/$f/kept.txt"
done

setup_start_and_check "${found[@]}"
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 60000 ";" expect-text caption 'Vellmark-软件安装' \
  ";" expect-contains 0xFFFF '部分AutoCAD注册或支持文件复制未成功，可能需要以管理员身份运行SetUp.exe后重新安装：' \
  ";" expect-contains 0xFFFF "无法复制文件 $locked_win\\Fonts\\Kavtor_EN.shx（错误 5）" \
  ";" expect-contains 0xFFFF "无法复制文件 $locked_win\\Fonts\\Kavtor_HZ.shx（错误 5）" \
  ";" expect-contains 0xFFFF "无法复制文件 $locked_win\\ACAD2013.dll（错误 5）"
e2e_shot 'Vellmark-软件安装' "$E2E_SHOTS/$E2E_NAME-failures.png"
lines="$(drv window "$SETUP_CAPTION" ";" msgbox | grep '^65535 ' | grep -o '无法' | wc -l)"
[ "$lines" = 3 ] || e2e_die "the failure message lists $lines items, expected the 3 files"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" msgbox 20000 \
  ";" expect-contains 0xFFFF '安装完成，重启CAD即可使用 !' ";" answer ok ";" msgbox 20000 ";" answer ok
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30

for f in Fonts/Kavtor_EN.shx Fonts/Kavtor_HZ.shx ACAD2013.dll; do
  grep -q "the user's own" "$locked/$f/kept.txt" || e2e_die "$locked_win\\$f was changed"
done
for f in Fonts/Kavtor_EN.shx ACAD2010.dll; do
  cmp -s "$data/${f#Fonts/}" "$WINEPREFIX/drive_c/Program Files/AutoCAD 2010/$f" || e2e_die "AutoCAD 2010: $f missing"
done
e2e_expect_value 'HKLM\SOFTWARE\Autodesk\AutoCAD\R19.0\ACAD-B001:804\Applications\Kavtor2013' LOADER \
  'C:\Kavtor\Vellmark\Kavtor2013.ARX'
e2e_log "the three refused copies reported; the files left as they were; the rest installed"
