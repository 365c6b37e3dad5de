# What the install button tells and asks, as real message boxes, on the machine
# of install-default. Run 1: a relative folder refused, nothing made; no Data
# folder: told, the dialog ends, nothing registered. Run 2: AutoCAD running (the
# driver copied as acad.exe) refused once; into C:\Tools\, where a folder stands
# at a package file's place: Retry asks again, Retry once the way is clear
# copies; support files refused in two AutoCAD folders: one message lists them.
setup_prepare "$E2E_FIXTURES/install.reg"
product="$WINEPREFIX/drive_c/Tools/Vellmark" key2016="$E2E_ACAD\\R20.1\\ACAD-F001:804\\Applications\\Kavtor2016"
mv "$E2E_DIST/Data" "$E2E_WORK/Data"
setup_start 2008 2010 2013 2016
setup_box relative ok ";" set-text "$ID_FOLDER" Tools ";" click "$ID_INSTALL" ";" msgbox 20000 \
  ";" expect caption '"Vellmark-软件安装"' ";" expect 0xFFFF '"安装路径无效，请重新选择安装路径 !"'
for d in "$E2E_DIST/Tools" "$WINEPREFIX/drive_c/Tools" "$WINEPREFIX/drive_c/Kavtor"; do
  [ ! -e "$d" ] || e2e_die "a relative folder refused, but $d made"
done
setup_box no-data ok ";" set-text "$ID_FOLDER" "$SETUP_FOLDER" ";" click "$ID_INSTALL" ";" msgbox 30000 \
  ";" expect-contains 0xFFFF '未找到安装所需的Data文件夹 !'
e2e_wait_ended 30
! e2e_key_exists "$key2016" && [ -z "$(ls -A "$WINEPREFIX/drive_c/Kavtor/Vellmark")" ] || e2e_die "installed without Data"

mv "$E2E_WORK/Data" "$E2E_DIST/Data"
acad2013='C:\Program Files\欧特克\AutoCAD 2013'
refused=("$acad2013\\Fonts\\Kavtor_EN.shx" "$acad2013\\Fonts\\Kavtor_HZ.shx" "$acad2013\\ACAD2013.dll"
  'C:\Program Files (x86)\AutoCAD 2008\Drv\pdfplot9.hdi')
# Wine as root ignores folder permissions and writes over read-only files, where
# Windows refuses the copy: a folder in the file's place is refused by both (5).
for f in "${refused[@]}"; do mkdir -p "$(e2e_unix_path "$f")" && echo "the user's" >"$(e2e_unix_path "$f")/kept.txt"; done
mkdir -p "$WINEPREFIX/drive_c/Acad" && cp "$VM_DRIVER" "$WINEPREFIX/drive_c/Acad/acad.exe"
(cd "$WINEPREFIX/drive_c/Acad" && exec /usr/lib/wine/wine64 acad.exe sleep 300000) >/dev/null 2>&1 &
# Wine names the Linux process after the Windows program once that runs.
for ((i = 0; i < 100; i++)); do pgrep -fx 'acad.exe sleep 300000' >/dev/null && break || sleep 0.1; done
setup_start 2008 2010 2013 2016
setup_box acad-running ok ";" set-text "$ID_FOLDER" 'C:\Tools\' ";" click "$ID_INSTALL" ";" msgbox 20000 \
  ";" expect 0xFFFF '"请关闭AutoCAD后再进行安装 !"'
[ ! -e "$WINEPREFIX/drive_c/Tools" ] || e2e_die "the refusal made the install folder"
# AutoCAD still runs, but the program warns only once: this click installs.
mkdir -p "$product/Kavtor2015.ARX"
question=(";" msgbox 60000 ";" expect-contains 0xFFFF 'C:\Tools\Vellmark\Kavtor2015.ARX')
setup_box question "" ";" click "$ID_INSTALL" "${question[@]}"
# While the question waits, the progress bar stands in the folder row's place.
drv window "$SETUP_CAPTION" ";" expect "$ID_PROGRESS" visible ";" expect "$ID_FOLDER" hidden ";" expect "$ID_BROWSE" hidden
e2e_shot "$SETUP_CAPTION" progress
drv window "$SETUP_CAPTION" ";" msgbox ";" answer retry "${question[@]}" >/dev/null
rmdir "$product/Kavtor2015.ARX"
for f in "${refused[@]}"; do failures+=(";" expect-contains 0xFFFF "无法复制文件 $f（错误 5）"); done
setup_box failures "" ";" msgbox ";" answer retry ";" msgbox 60000 \
  ";" expect-contains 0xFFFF '部分AutoCAD注册或支持文件复制未成功，可能需要以管理员身份运行SetUp.exe后重新安装：' "${failures[@]}"
# A 32-bit program finds the 32-bit AutoCAD 2008 twice (README: The machines) and tries its folder twice.
items="$(drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok | grep -o '无法复制文件' | wc -l)"
[ "$items" = $((VM_PROGRAM_BITS == 32 ? 5 : 4)) ] || e2e_die "the failure message lists $items items"
setup_done
for f in "${refused[@]}"; do grep -q "the user's" "$(e2e_unix_path "$f")/kept.txt" || e2e_die "$f was changed"; done
cmp -s "$E2E_DIST/Data/Kavtor2015.ARX" "$product/Kavtor2015.ARX" || e2e_die "Retry did not copy"
cmp -s "$E2E_DIST/Data/ACAD2010.dll" "$WINEPREFIX/drive_c/Program Files/AutoCAD 2010/ACAD2010.dll" || e2e_die "2010 lacks its files"
e2e_expect_value "$key2016" LOADER 'C:\Tools\Vellmark\Kavtor2015.ARX'
