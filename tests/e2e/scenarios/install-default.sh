# The default installation on fixtures/install.reg: the files, the keys with reg.exe, the registry before and after.
setup_prepare "$E2E_FIXTURES/install.reg" "$E2E_FIXTURES/foreign-profile.reg"
acad2008="$WINEPREFIX/drive_c/Program Files (x86)/AutoCAD 2008" data="$E2E_DIST/Data" product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
echo "Autodesk's driver" >"$acad2008/Drv/pdfplot9.hdi"
e2e_reg_export "$E2E_WORK/registry-before.txt"
setup_start 2008 2010 2013 2016
e2e_shot "$SETUP_CAPTION" choosing
setup_done ";" click "$ID_INSTALL"
diff -r -x 'Kavtor_*.shx' "$data" "$product" && ! compgen -G "$product/Kavtor_*.shx" ||
  e2e_die "the product folder is not the package less the fonts, which belong to AutoCAD's folders"
while IFS= read -r win; do
  for f in Fonts/Kavtor_EN.shx Fonts/Kavtor_HZ.shx ACAD2007.dll ACAD2010.dll ACAD2013.dll; do
    cmp -s "$data/${f#Fonts/}" "$(e2e_unix_path "$win")/$f" || e2e_die "$win: $f missing or different"
  done
done < <(e2e_fixture_locations "$E2E_FIXTURES/install.reg")
cmp -s "$data/Kavtor.prt5" "$acad2008/Drv/pdfplot9.hdi" || e2e_die "2008: Drv\\pdfplot9.hdi not replaced"
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
# A list of entries is written back in upper case, the product folder added unless there.
for entry in 'R18.0\ACAD-8001:804\Profiles\<<未命名配置>>|C:\LIB;D:\BLOCKS;C:\KAVTOR\VELLMARK' \
  'R19.0\ACAD-B001:804\Profiles\Default|C:\KAVTOR\VELLMARK' 'R20.1\ACAD-F001:804\Profiles\Default|C:\Kavtor\Vellmark' \
  'R20.1\ACAD-F001:804\Profiles\Drafting|C:\Kavtor\Vellmark'; do
  e2e_expect_value "HKCU\\Software\\Autodesk\\AutoCAD\\${entry%|*}\\Variables" TRUSTEDPATHS "${entry#*|}"
done
e2e_reg_export "$E2E_WORK/registry-after.txt"
grep -qF 'Profiles\Jörg\Variables] "TRUSTEDPATHS"="D:\\JöRG\\LISP;E:\\스케치\\BLöCKE;C:\\KAVTOR\\VELLMARK"' \
  "$E2E_WORK/registry-after.txt" || e2e_die "the profile Jörg lost a character or was left out"
changes="$(e2e_reg_changes "$E2E_WORK/registry-before.txt" "$E2E_WORK/registry-after.txt")"
[ -z "$changes" ] || e2e_die "the registry changed outside the loader keys and TRUSTEDPATHS: $changes"
