# The whole default installation on a workstation with AutoCAD 2008 (32-bit
# view), two installations of 2010, 2013 and 2016 (tests/e2e/fixtures/install.reg):
# one click on install, the two completion messages, and then what landed where,
# read back from the prefix's files and with the real registry API (reg.exe).
found=(2008 2010 2013 2016)
fixture="$E2E_FIXTURES/install.reg"
setup_prepare "$fixture"

# AutoCAD 2008's own plot driver, which the installation replaces.
acad2008="$WINEPREFIX/drive_c/Program Files (x86)/AutoCAD 2008"
printf "Autodesk's driver\n" >"$acad2008/Drv/pdfplot9.hdi"

# The package: the modules the release table names, the fonts, assemblies, the
# 2008 plot driver, and a subfolder that is not copied.
data="$E2E_WORK/dist/Data"
e2e_add_package_files "$E2E_WORK/dist" Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX \
  Kavtor_EN.shx Kavtor_HZ.shx ACAD2007.dll ACAD2010.dll ACAD2013.dll Kavtor.prt5
mkdir -p "$data/Samples" && printf 'not copied\n' >"$data/Samples/a.dwg"

e2e_reg_export "$E2E_WORK/registry-before.txt"

e2e_log "install into the default folder"
setup_start_and_check "${found[@]}"
e2e_shot "$SETUP_CAPTION" "$E2E_SHOTS/$E2E_NAME-choosing.png"
drv window "$SETUP_CAPTION" ";" expect-text 1000 'C:\Kavtor' ";" click "$ID_INSTALL" \
  ";" msgbox 60000 ";" expect-contains 0xFFFF '安装完成，重启CAD即可使用 !'
e2e_shot 'Vellmark-工具箱安装' "$E2E_SHOTS/$E2E_NAME-done.png"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" msgbox 20000 \
  ";" expect-contains 0xFFFF '早期版本设置导入'
e2e_shot 'Vellmark-工具箱安装' "$E2E_SHOTS/$E2E_NAME-import-settings.png"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok
drv --timeout 20000 window "$SETUP_CAPTION" ";" gone ";" exited || true
e2e_expect_ended 30

product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
for f in Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX ACAD2007.dll ACAD2010.dll ACAD2013.dll \
  Kavtor.prt5 vmtools.arx 说明.txt; do
  cmp -s "$data/$f" "$product/$f" || e2e_die "product folder: $f missing or different"
done
for f in SetUp.exe Kavtor_EN.shx Kavtor_HZ.shx Samples; do
  [ ! -e "$product/$f" ] || e2e_die "product folder: $f must not be there"
done
e2e_log "product folder holds the package less the program, the fonts and the subfolder"

while IFS= read -r win; do
  unix="$(e2e_unix_path "$win")"
  for f in Fonts/Kavtor_EN.shx Fonts/Kavtor_HZ.shx ACAD2007.dll ACAD2010.dll ACAD2013.dll; do
    cmp -s "$data/${f#Fonts/}" "$unix/$f" || e2e_die "$win: $f missing or different"
  done
done < <(e2e_fixture_locations "$fixture")
cmp -s "$data/Kavtor.prt5" "$acad2008/Drv/pdfplot9.hdi" || e2e_die "2008: Drv\\pdfplot9.hdi not replaced"
for other in "Program Files/AutoCAD 2010" "Program Files/Autodesk/AutoCAD 2016"; do
  [ ! -e "$WINEPREFIX/drive_c/$other/Drv/pdfplot9.hdi" ] || e2e_die "$other: a plot driver it must not get"
done
e2e_log "fonts and assemblies in every AutoCAD folder, the plot driver for 2008 only"

hklm='HKLM\SOFTWARE\Autodesk\AutoCAD'
declare -A module=([2008]=2008 [2010]=2010 [2013]=2013 [2016]=2015)
for key in 'HKLM\SOFTWARE\Wow6432Node\Autodesk\AutoCAD\R17.1\ACAD-6001:804|2008' \
  "$hklm\\R18.0\\ACAD-8001:804|2010" "$hklm\\R18.0\\ACAD-8001:409|2010" \
  "$hklm\\R20.1\\ACAD-F001:804|2016"; do
  year="${key##*|}"
  key="${key%|*}"
  e2e_expect_value "$key\\Applications\\Kavtor$year" LOADER "C:\\Kavtor\\Vellmark\\Kavtor${module[$year]}.ARX"
  e2e_expect_value "$key\\Applications\\Kavtor$year" LOADCTRLS 0x2
  e2e_expect_value "$key\\Applications\\Kavtor${year}DLL" LOADCTRLS 0x2
  e2e_expect_value "$key\\Applications\\Kavtor${year}DLL" MANAGED 0x1
done
e2e_expect_value 'HKLM\SOFTWARE\Autodesk\AutoCAD\R20.1\ACAD-F001:804\Applications\Kavtor2016DLL' LOADER \
  'C:\Program Files\Autodesk\AutoCAD 2016\ACAD2013.dll'
e2e_expect_value 'HKLM\SOFTWARE\Autodesk\AutoCAD\R18.0\ACAD-8001:409\Applications\Kavtor2010DLL' LOADER \
  'C:\Program Files\AutoCAD 2010 English\ACAD2010.dll'
e2e_expect_value "$hklm\\R20.1\\ACAD-F001:804\\Applications\\OtherTools" LOADER 'D:\Other\OtherTools.arx'
e2e_log "loader keys of every installation, the other add-on's left alone"

hkcu='HKCU\Software\Autodesk\AutoCAD'
e2e_expect_value "$hkcu\\R19.0\\ACAD-B001:804\\Profiles\\Default\\Variables" TRUSTEDPATHS 'C:\KAVTOR\VELLMARK'
e2e_expect_value "$hkcu\\R20.1\\ACAD-F001:804\\Profiles\\Default\\Variables" TRUSTEDPATHS 'C:\Kavtor\Vellmark'
e2e_expect_value "$hkcu\\R20.1\\ACAD-F001:804\\Profiles\\Default\\Variables" ACADPREFIX 'C:\Users\Public'
e2e_expect_value "$hkcu\\R20.1\\ACAD-F001:804\\Profiles\\Drafting\\Variables" TRUSTEDPATHS 'C:\Kavtor\Vellmark'
e2e_log "every profile trusts the product folder"

# Nothing else in the registry changed: the whole export before and after, less
# the installer's own keys and values and what Wine rewrites by itself.
e2e_reg_export "$E2E_WORK/registry-after.txt"
changes="$(e2e_reg_changes "$E2E_WORK/registry-before.txt" "$E2E_WORK/registry-after.txt")"
[ -z "$changes" ] || e2e_die "the registry changed outside the add-on's keys and TRUSTEDPATHS:
$changes"
e2e_log "the registry is unchanged outside the loader keys and TRUSTEDPATHS"
