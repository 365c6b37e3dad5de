# The whole default installation on the workstation of fixtures/install.reg:
# AutoCAD 2008 below Wow6432Node, two installations of 2010, 2013, and 2016 with
# another add-on. One click on install, the two completion messages, then what
# landed where, read from the prefix's files and with reg.exe, and the whole
# registry compared before and after.
setup_prepare "$E2E_FIXTURES/install.reg"
acad2008="$WINEPREFIX/drive_c/Program Files (x86)/AutoCAD 2008"
printf "Autodesk's driver\n" >"$acad2008/Drv/pdfplot9.hdi"
data="$E2E_DIST/Data"
mkdir -p "$data/Samples" && printf 'not copied\n' >"$data/Samples/a.dwg"
e2e_reg_export "$E2E_WORK/registry-before.txt"
grep -qF 'Applications\OtherTools] "LOADER"=' "$E2E_WORK/registry-before.txt" || e2e_die "the export lacks the fixture"

setup_start 2008 2010 2013 2016
e2e_shot "$SETUP_CAPTION" choosing
drv window "$SETUP_CAPTION" ";" click "$ID_INSTALL" ";" msgbox 120000 \
  ";" expect-contains 0xFFFF '安装完成，重启CAD即可使用 !'
e2e_shot 'Vellmark-工具箱安装' done
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" msgbox 20000 ";" expect-contains 0xFFFF '早期版本设置导入'
e2e_shot 'Vellmark-工具箱安装' import-settings
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok
e2e_wait_ended 30

product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
for f in "${SETUP_PACKAGE[@]}"; do
  case "$f" in
    Kavtor_*.shx) [ ! -e "$product/$f" ] || e2e_die "product folder: the font $f must not be there" ;;
    *) cmp -s "$data/$f" "$product/$f" || e2e_die "product folder: $f missing or different" ;;
  esac
done
[ ! -e "$product/SetUp.exe" ] && [ ! -e "$product/Samples" ] || e2e_die "product folder: SetUp.exe or Samples copied"
while IFS= read -r win; do
  for f in Fonts/Kavtor_EN.shx Fonts/Kavtor_HZ.shx ACAD2007.dll ACAD2010.dll ACAD2013.dll; do
    cmp -s "$data/${f#Fonts/}" "$(e2e_unix_path "$win")/$f" || e2e_die "$win: $f missing or different"
  done
done < <(e2e_fixture_locations "$E2E_FIXTURES/install.reg")
cmp -s "$data/Kavtor.prt5" "$acad2008/Drv/pdfplot9.hdi" || e2e_die "2008: Drv\\pdfplot9.hdi not replaced"
for other in "Program Files/AutoCAD 2010" "Program Files/Autodesk/AutoCAD 2016"; do
  [ ! -e "$WINEPREFIX/drive_c/$other/Drv/pdfplot9.hdi" ] || e2e_die "$other: a plot driver it must not get"
done
e2e_log "the package less SetUp.exe, the fonts and the subfolder; fonts and assemblies in every AutoCAD folder"

# Each installation: its key, the release's module, the assembly in its folder.
p='C:\Program Files'
for entry in "HKLM\\SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\R17.1\\ACAD-6001:804|2008|2008|$p (x86)\\AutoCAD 2008\\ACAD2007.dll" \
  "$E2E_ACAD\\R18.0\\ACAD-8001:804|2010|2010|$p\\AutoCAD 2010\\ACAD2010.dll" \
  "$E2E_ACAD\\R18.0\\ACAD-8001:409|2010|2010|$p\\AutoCAD 2010 English\\ACAD2010.dll" \
  "$E2E_ACAD\\R19.0\\ACAD-B001:804|2013|2013|$p\\欧特克\\AutoCAD 2013\\ACAD2013.dll" \
  "$E2E_ACAD\\R20.1\\ACAD-F001:804|2016|2015|$p\\Autodesk\\AutoCAD 2016\\ACAD2013.dll"; do
  IFS='|' read -r key year module assembly <<<"$entry"
  e2e_expect_value "$key\\Applications\\Kavtor$year" LOADER "C:\\Kavtor\\Vellmark\\Kavtor$module.ARX" LOADCTRLS 0x2
  e2e_expect_value "$key\\Applications\\Kavtor${year}DLL" LOADER "$assembly" LOADCTRLS 0x2 MANAGED 0x1
done
e2e_expect_value "$E2E_ACAD\\R20.1\\ACAD-F001:804\\Applications\\OtherTools" LOADER 'D:\Other\OtherTools.arx'
hkcu='HKCU\Software\Autodesk\AutoCAD'
# A list of entries is written back in upper case, the product folder added unless there.
e2e_expect_value "$hkcu\\R18.0\\ACAD-8001:804\\Profiles\\<<未命名配置>>\\Variables" TRUSTEDPATHS \
  'C:\LIB;D:\BLOCKS;C:\KAVTOR\VELLMARK'
e2e_expect_value "$hkcu\\R19.0\\ACAD-B001:804\\Profiles\\Default\\Variables" TRUSTEDPATHS 'C:\KAVTOR\VELLMARK'
e2e_expect_value "$hkcu\\R20.1\\ACAD-F001:804\\Profiles\\Default\\Variables" TRUSTEDPATHS 'C:\Kavtor\Vellmark' \
  ACADPREFIX 'C:\Users\Public'
e2e_expect_value "$hkcu\\R20.1\\ACAD-F001:804\\Profiles\\Drafting\\Variables" TRUSTEDPATHS 'C:\Kavtor\Vellmark'
e2e_log "loader keys of every installation, the other add-on's left alone; every profile trusts the product folder"

if [ "$VM_PROGRAM_BITS" = 32 ]; then
  # The 64-bit AutoCAD 2015 of this machine is out of the 32-bit program's sight.
  acad64='HKLM\SOFTWARE\Autodesk\AutoCAD\R20.0\ACAD-E001:804\Applications\Kavtor2015'
  e2e_expect_value "$acad64" LOADER 'D:\Vellmark64\Kavtor2015.ARX'
  ! e2e_key_exists "${acad64}DLL" || e2e_die "the 64-bit AutoCAD 2015 got a loader key"
  [ -z "$(ls -A "$WINEPREFIX/drive_c/Program Files/Autodesk/AutoCAD 2015/Fonts")" ] ||
    e2e_die "the 64-bit AutoCAD 2015 got support files"
fi
e2e_reg_export "$E2E_WORK/registry-after.txt"
changes="$(e2e_reg_changes "$E2E_WORK/registry-before.txt" "$E2E_WORK/registry-after.txt")"
[ -z "$changes" ] || e2e_die "the registry changed outside the add-on's keys and TRUSTEDPATHS:
$changes"
e2e_log "the registry is unchanged outside the loader keys and TRUSTEDPATHS"
