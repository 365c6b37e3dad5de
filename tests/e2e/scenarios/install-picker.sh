# A user's way through the dialog on install-default's machine, each question a real message box (README).
setup_prepare "$E2E_FIXTURES/install.reg" "$E2E_FIXTURES/chosen-profile.reg"
browse='请选择安装目录：' edit=14148 chosen='C:\结构工具' folder="$WINEPREFIX/drive_c/结构工具" product="$folder/Vellmark"
acad2013='C:\Program Files\欧特克\AutoCAD 2013'
refused=("$acad2013\\Fonts\\Kavtor_EN.shx" "$acad2013\\Fonts\\Kavtor_HZ.shx" "$acad2013\\ACAD2013.dll"
  'C:\Program Files (x86)\AutoCAD 2008\Drv\pdfplot9.hdi')
# A folder in the file's place, as Wine run as root ignores permissions and read-only files (README).
for f in "${refused[@]}"; do mkdir -p "$(e2e_unix_path "$f")" && echo "the user's" >"$(e2e_unix_path "$f")/kept.txt"; done
setup_start 2008 2010 2013 2016
# C:\Kavtor does not exist: the tree selects nothing, nothing fills our edit box.
setup_box create-question no ";" click "$IDC_BROWSE" ";" window "$browse" 20000 ";" expect "$edit" 'enabled visible ""' \
  ";" set-text "$edit" "$chosen" ";" click 1 ";" msgbox 20000 ";" expect caption '"SetUp"' \
  ";" expect-contains 0xFFFF "$chosen" ";" expect-contains 0xFFFF 'does not exist. Do you want the folder to be created?'
e2e_shot "$browse" browse
[ ! -e "$folder" ] || e2e_die "the folder was made although answered No"
drv window "$browse" ";" click 1 ";" msgbox 20000 ";" answer yes ";" window "$SETUP_CAPTION" \
  ";" expect "$IDC_PATH" "\"$chosen\""
# A folder at a package file's place: Abort/Retry/Ignore names it; Retry asks again, then copies.
mkdir -p "$product/Kavtor2015.ARX"
question=(";" msgbox 60000 ";" expect-contains 0xFFFF "$chosen\\Vellmark\\Kavtor2015.ARX")
setup_box question "" ";" click "$IDC_INSTALL" "${question[@]}"
e2e_shot "$SETUP_CAPTION" progress  # mid-copy
drv window "$SETUP_CAPTION" ";" msgbox ";" answer retry "${question[@]}" >/dev/null
rmdir "$product/Kavtor2015.ARX"
for f in "${refused[@]}"; do failures+=(";" expect-contains 0xFFFF "无法复制文件 $f（错误 5）"); done
# Not called complete: the failures are the last word, with how to finish.
setup_box failures ok ";" msgbox ";" answer retry ";" msgbox 60000 ";" expect-contains 0xFFFF '安装未完成！以下项目未成功：' \
  "${failures[@]}" ";" expect-contains 0xFFFF '选择“以管理员身份运行”，再安装一次即可完成安装（重复安装是安全的）。'
e2e_wait_ended 30
for f in "${refused[@]}"; do grep -q "the user's" "$(e2e_unix_path "$f")/kept.txt" || e2e_die "$f was changed"; done
for f in Kavtor2015.ARX vmtools.arx 说明.txt; do cmp -s "$E2E_DIST/Data/$f" "$product/$f" || e2e_die "$chosen: no $f"; done
e2e_reg_export "$E2E_WORK/registry-after.txt"
grep -qF "[${E2E_ACAD/HKLM/HKEY_LOCAL_MACHINE}"'\R19.0\ACAD-B001:804\Applications\Kavtor2013] "LOADER"="C:\\结构工具\\Vellmark\\Kavtor2013.ARX"' \
  "$E2E_WORK/registry-after.txt" && grep -qF '\Profiles\结构\Variables] "TRUSTEDPATHS"="C:\\结构工具\\..."' \
  "$E2E_WORK/registry-after.txt" || e2e_die "$chosen\\Vellmark is not what AutoCAD 2013 loads, or not trusted"
