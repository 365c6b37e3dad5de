# SetUp.exe unpacked without Data on fixtures/discovery.reg: the boxes in this edition's registry view (README).
found=(2008 2010 2013 2016 2017 2020 2022 2025 2026)
# To a 32-bit program the Wow6432Node branch is its own AutoCAD key, all of whose releases count.
[ "$VM_PROGRAM_BITS" = 32 ] && found+=(2009 2018)
setup_prepare "$E2E_FIXTURES/discovery.reg" && rm -r "$E2E_DIST/Data"
setup_start "${found[@]}"
e2e_shot "$SETUP_CAPTION" start
# A driver seeing what is not there, or clicking what a user cannot, must fail.
box2011=$(setup_box_id 2011)
for wrong in "expect $box2011 enabled" "expect $box2011 checked" "expect $IDC_INSTALL hidden" "click $box2011" \
  "expect caption Vellmark" "msgbox 300"; do
  ! drv --timeout 300 window "$SETUP_CAPTION" ";" $wrong 2>/dev/null || e2e_die "the driver could $wrong"
done
setup_box no-data ok ";" click "$IDC_INSTALL" ";" msgbox ";" expect-contains 0xFFFF '未找到安装所需的Data文件夹 !'
e2e_wait_ended 20
[ "$E2E_STATUS" = 0 ] && [[ "$(e2e_wine64 reg query "$E2E_ACAD" /s)" != *Kavtor* ]] &&
  [ ! -e "$WINEPREFIX/drive_c/Kavtor" ] || e2e_die "the program ended with $E2E_STATUS, or made or installed something"
# Unpacked below a folder whose name code page 936 cannot spell: said so, nothing made.
mkdir -p "$WINEPREFIX/drive_c/Jörg" && cp -r "$E2E_DIST" "$WINEPREFIX/drive_c/Jörg/"
e2e_start "$WINEPREFIX/drive_c/Jörg/dist" SetUp.exe "$E2E_WORK/program.log"
setup_box foreign-folder ok ";" click "$IDC_INSTALL" ";" msgbox 30000 ";" expect-contains 0xFFFF 'SetUp.exe所在的文件夹路径中含有系统无法处理的字符' \
  ";" expect-contains 0xFFFF '请将解压后的文件夹移到只含英文或中文字符的路径下'
e2e_wait_ended 20
[ ! -e "$WINEPREFIX/drive_c/Kavtor" ] || e2e_die "the install folder was made"
