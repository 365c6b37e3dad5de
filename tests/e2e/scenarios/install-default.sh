# The default installation on fixtures/install.reg: the files, and the registry before and after.
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
# The registry changed exactly as fixtures/install-default.changes says: the loader keys of each installation, and
# each profile's list written back in upper case with the product folder added unless there, Jörg's whole.
e2e_reg_export "$E2E_WORK/registry-after.txt"
wow='s/^\(. \[HKEY_LOCAL_MACHINE\\SOFTWARE\\\)\(Autodesk\\\)/\1Wow6432Node\\\2/' && [ "$VM_PROGRAM_BITS" = 32 ] || wow=''
diff <(grep -v '^#' "$E2E_FIXTURES/install-default.changes" | sed "$wow" | LC_ALL=C sort) \
  <(e2e_reg_diff "$E2E_WORK/registry-before.txt" "$E2E_WORK/registry-after.txt" | LC_ALL=C sort) ||
  e2e_die "the registry did not change as fixtures/install-default.changes says (< expected, > found)"
