# The default installation on fixtures/install.reg: the files, and the registry before and after; then its removal
# as Apps & Features starts it: the machine as it was but for the fonts.
setup_prepare "$E2E_FIXTURES/install.reg" "$E2E_FIXTURES/foreign-profile.reg"
acad2008="$WINEPREFIX/drive_c/Program Files (x86)/AutoCAD 2008" data="$E2E_DIST/Data" product="$WINEPREFIX/drive_c/Kavtor/Vellmark"
echo "Autodesk's driver" >"$acad2008/Drv/pdfplot9.hdi"
e2e_reg_export "$E2E_WORK/registry-before.txt"
acad_files() {  # every AutoCAD folder's files, the shape fonts apart, with their content
  while IFS= read -r win; do (cd "$(e2e_unix_path "$win")" && find . -type f ! -name 'Kavtor_*.shx' -exec md5sum {} + | sort); done \
    < <(e2e_fixture_locations "$E2E_FIXTURES/install.reg")
}
acad_files >"$E2E_WORK/acad-before.txt"
setup_start 2008 2010 2013 2016
e2e_shot "$SETUP_CAPTION" choosing
setup_done ";" click "$IDC_INSTALL"
diff -r -x 'Kavtor_*.shx' -x Uninstall.exe -x Uninstall.dat "$data" "$product" && ! compgen -G "$product/Kavtor_*.shx" ||
  e2e_die "the product folder is not the package less the fonts, which belong to AutoCAD's folders"
cmp -s "$E2E_DIST/SetUp.exe" "$product/Uninstall.exe" || e2e_die "the uninstaller is not the installer's own copy"
while IFS= read -r win; do
  for f in Fonts/Kavtor_EN.shx Fonts/Kavtor_HZ.shx ACAD2007.dll ACAD2010.dll ACAD2013.dll; do
    cmp -s "$data/${f#Fonts/}" "$(e2e_unix_path "$win")/$f" || e2e_die "$win: $f missing or different"
  done
done < <(e2e_fixture_locations "$E2E_FIXTURES/install.reg")
cmp -s "$data/Kavtor.prt5" "$acad2008/Drv/pdfplot9.hdi" || e2e_die "2008: Drv\\pdfplot9.hdi not replaced"
# The registry changed exactly as fixtures/install-default.changes says: the loader keys of each installation, each
# profile's list written back in upper case with the product folder added unless there, Jörg's whole, and this
# edition's Apps & Features entry, its size in KiB at least the uninstaller's.
e2e_reg_export "$E2E_WORK/registry-after.txt"
diff <(grep -v '^#' "$E2E_FIXTURES/install-default.changes" | e2e_program_view |
  sed -e "s/VellmarkToolbox32/VellmarkToolbox$VM_EDITION_BITS/" -e "s/( 32位/( ${VM_EDITION_BITS}位/" | LC_ALL=C sort) \
  <(e2e_reg_diff "$E2E_WORK/registry-before.txt" "$E2E_WORK/registry-after.txt" | grep -v '"EstimatedSize"=' | LC_ALL=C sort) ||
  e2e_die "the registry did not change as fixtures/install-default.changes says (< expected, > found)"
size=$(setup_entry_value "$E2E_WORK/registry-after.txt" EstimatedSize | sed 's/^dword://')
[ -n "$size" ] && [ $((16#$size)) -ge $(($(stat -c %s "$product/Uninstall.exe") / 1024)) ] || e2e_die "EstimatedSize $size"
# Removed as Apps & Features does it: the registry as before, trusted lists compared letter case aside (the
# installer upper-cased them), AutoCAD's folders as before but for the fonts, C:\Kavtor gone.
told="$(setup_uninstall "$E2E_WORK/registry-after.txt")"
[[ $told == *'已卸载。'* && $told == *'字体文件 Kavtor_EN.shx、Kavtor_HZ.shx 留在各 AutoCAD 的 Fonts 文件夹中'* ]] ||
  e2e_die "the uninstaller's closing message: $told"
e2e_reg_export "$E2E_WORK/registry-removed.txt"
for f in before removed; do
  LC_ALL=C awk '/"TRUSTEDPATHS"=/ { $0 = toupper($0) } { print }' "$E2E_WORK/registry-$f.txt" >"$E2E_WORK/registry-$f.upper"
done
left="$(e2e_reg_diff "$E2E_WORK/registry-before.upper" "$E2E_WORK/registry-removed.upper")"
[ -z "$left" ] || e2e_die "the registry is not as before the installation:"$'\n'"$left"
diff "$E2E_WORK/acad-before.txt" <(acad_files) || e2e_die "AutoCAD's folders are not as they were"
[ ! -e "$WINEPREFIX/drive_c/Kavtor" ] || e2e_die "C:\\Kavtor is still there: $(find "$WINEPREFIX/drive_c/Kavtor")"
