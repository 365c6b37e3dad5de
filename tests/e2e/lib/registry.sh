# Reading the prefix's registry back: single values with the real registry API
# (reg.exe), and whole exports (regedit /E) compared before and after a run.

# e2e_reg_value KEY VALUE: the data of one value as reg.exe prints it, in UTF-8.
# Into a pipe, Wine's reg.exe writes in the console's code page (936 here).
e2e_reg_value() {
  e2e_wine reg query "$1" /v "$2" 2>/dev/null | iconv -f GB18030 -t UTF-8 | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# e2e_expect_value KEY VALUE DATA: the value must hold exactly DATA.
e2e_expect_value() {
  local got
  got="$(e2e_reg_value "$1" "$2")"
  [ "$got" = "$3" ] || e2e_die "$1 $2: \"$got\", expected \"$3\""
}

# e2e_reg_export OUT: the whole registry as one line per key ("[KEY]") and one
# per value ("[KEY] "NAME"=DATA"), sorted, UTF-8. regedit writes UTF-16LE with
# continuation lines for long hex data; both are undone here.
e2e_reg_export() {
  local out="$1" raw="$1.utf16"
  rm -f "$raw"
  e2e_wine regedit /E "$(e2e_winpath "$raw")" || e2e_die "regedit could not export the registry"
  [ -s "$raw" ] || e2e_die "regedit wrote no export"
  iconv -f UTF-16LE -t UTF-8 "$raw" | sed -e '1s/^\xef\xbb\xbf//' -e 's/\r$//' | awk '
    /^\[/ { key = $0; print key; next }
    /^$/ || /^Windows Registry Editor/ || /^REGEDIT/ { next }
    { line = $0
      while (line ~ /\\$/ && (getline more) > 0) { sub(/\\$/, "", line); sub(/^ +/, "", more); line = line more }
      print key " " line }' | LC_ALL=C sort >"$out"
  rm -f "$raw"
}

# Keys Wine itself rewrites while programs run (the window system's settings, the
# device tree), not the installer's doing. regedit exports the current user's
# hive under HKEY_USERS\<SID>.
E2E_REG_USER='(HKEY_CURRENT_USER|HKEY_USERS\\S-[0-9-]+)'
E2E_REG_WINE_NOISE="\\[$E2E_REG_USER\\\\(Software\\\\Wine\\\\Temporary System Parameters|Volatile Environment)[]\\\\]"
E2E_REG_WINE_NOISE+='|\[HKEY_LOCAL_MACHINE\\(System|Hardware)\\'

# What the installer may write: its two loader keys per installation (and the
# Applications key above them), a profile's Variables key and its TRUSTEDPATHS.
E2E_REG_INSTALLER='\[HKEY_LOCAL_MACHINE\\SOFTWARE\\(Wow6432Node\\)?Autodesk\\AutoCAD\\R[0-9.]+\\ACAD-[0-9A-F]+:[0-9a-f]+\\Applications(\\Kavtor[0-9]{4}(DLL)?\](.*)|\])$'
E2E_REG_INSTALLER+="|\\[$E2E_REG_USER"'\\Software\\Autodesk\\AutoCAD\\R[0-9.]+\\ACAD-[0-9A-F]+:[0-9a-f]+\\Profiles\\[^]]+\\Variables\]( "TRUSTEDPATHS"=.*)?$'

# e2e_reg_changes BEFORE AFTER: the lines one export has and the other lacks,
# "- LINE" for gone and "+ LINE" for new, without Wine's own and the installer's
# own writes (the patterns above match from the "[" on). A TRUSTEDPATHS value may
# change but not go. Empty output: nothing else changed.
e2e_reg_changes() {
  LC_ALL=C comm -3 "$1" "$2" | sed -e 's/^\t/+ /' -e '/^+ /!s/^/- /' |
    grep -Ev "^[-+] ($E2E_REG_WINE_NOISE)" |
    awk -v after="$2" '
      BEGIN { while ((getline line < after) > 0) if ((i = index(line, " \"TRUSTEDPATHS\"=")) > 0) still[substr(line, 1, i - 1)] = 1 }
      /^- / && (i = index($0, " \"TRUSTEDPATHS\"=")) > 0 && !(substr($0, 3, i - 3) in still) { print "! " substr($0, 3); next }
      { print }' |
    grep -Eiv "^[-+] ($E2E_REG_INSTALLER)" | sed 's/^! /- /' || true
}
