# A user who may not write into some AutoCAD folders, on the workstation of
# install-default: the three support-file copies into AutoCAD 2013's folder and
# the plot driver into 2008's are refused. The installation goes on; before the
# completion messages one message names each refused file, and the other
# installations got theirs.
#
# How the refusal is made: the tests run as root, and Wine (8) as root writes
# over a read-only file (CopyFileA succeeds where Windows answers "access
# denied") and ignores folder permissions. A folder standing where a file must go
# is refused by Windows and Wine alike, with the error a user without write
# access meets (5).
setup_prepare "$E2E_FIXTURES/install.reg"
acad2013='C:\Program Files\欧特克\AutoCAD 2013'
refused=("$acad2013\\Fonts\\Kavtor_EN.shx" "$acad2013\\Fonts\\Kavtor_HZ.shx" "$acad2013\\ACAD2013.dll"
  'C:\Program Files (x86)\AutoCAD 2008\Drv\pdfplot9.hdi')
for f in "${refused[@]}"; do
  mkdir -p "$(e2e_unix_path "$f")" && printf "the user's own file\n" >"$(e2e_unix_path "$f")/kept.txt"
done

setup_start 2008 2010 2013 2016
words=()
for f in "${refused[@]}"; do words+=(";" expect-contains 0xFFFF "无法复制文件 $f（错误 5）"); done
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 60000 ";" expect-text caption 'Vellmark-软件安装' \
  ";" expect-contains 0xFFFF '部分AutoCAD注册或支持文件复制未成功，可能需要以管理员身份运行SetUp.exe后重新安装：' \
  "${words[@]}" >/dev/null
e2e_shot 'Vellmark-软件安装' failures
# A 32-bit program finds the 32-bit AutoCAD 2008 twice, through its own view of
# the AutoCAD key and through the Wow6432Node path, and tries its folder twice.
expected=4
[ "$VM_PROGRAM_BITS" = 32 ] && expected=5
items="$(drv window "$SETUP_CAPTION" ";" msgbox | grep '^65535 ' | grep -o '无法复制文件' | wc -l)"
[ "$items" = $expected ] || e2e_die "the failure message lists $items items, expected $expected"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok
setup_done

for f in "${refused[@]}"; do
  grep -q "the user's own" "$(e2e_unix_path "$f")/kept.txt" || e2e_die "$f was changed"
done
for f in Fonts/Kavtor_EN.shx ACAD2010.dll; do
  cmp -s "$E2E_DIST/Data/${f#Fonts/}" "$WINEPREFIX/drive_c/Program Files/AutoCAD 2010/$f" || e2e_die "AutoCAD 2010: $f missing"
done
e2e_expect_value "$E2E_ACAD\\R19.0\\ACAD-B001:804\\Applications\\Kavtor2013" LOADER 'C:\Kavtor\Vellmark\Kavtor2013.ARX'
e2e_log "the refused copies reported; the files left as they were; the rest installed"
