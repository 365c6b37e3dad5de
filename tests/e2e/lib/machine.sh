# The machine a scenario (or the demo) runs on: a Wine prefix copied from the
# build's base prefix, its registry seeded from a .reg fixture where this
# program's AutoCAD writes, its AutoCAD folders; and the registry read back.
# Expects VM_SOURCE_DIR, VM_E2E_OUT (the build's e2e folder), VM_DRIVER and
# VM_PROGRAM_BITS (32 for the i686 program, which sees the WOW64 registry view).

export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 936 for the ANSI calls; the locale must exist (tools/install-deps.sh).
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
E2E_FIXTURES="$VM_SOURCE_DIR/tests/e2e/fixtures"

e2e_log() { printf '[e2e] %s\n' "$*"; }
e2e_die() {
  printf '[e2e] FAILED: %s\n' "$*" >&2
  exit 1
}

# Wine's 64-bit loader. With Wine's 32-bit half installed, `wine reg` and `wine
# regedit` are the 32-bit tools and see the 32-bit view (below Wow6432Node); the
# 64-bit ones read and write keys at their literal paths, and start fast under qemu.
e2e_wine64() { /usr/lib/wine/wine64 "$@"; }
drv() { e2e_wine64 "$VM_DRIVER" "$@"; }

e2e_winpath() { printf 'Z:%s' "${1//\//\\}"; }
# e2e_unix_path WINPATH: where a C: path of the prefix lies on Linux.
e2e_unix_path() {
  local unix="$WINEPREFIX/drive_c/${1:3}"
  printf '%s' "${unix//\\//}"
}

# e2e_import FILE...: UTF-8 .reg files imported as one. Wine's regedit reads a
# file without a byte order mark in the ANSI code page, so it gets UTF-16LE.
e2e_import() {
  local f merged="$WINEPREFIX.reg"
  {
    printf 'Windows Registry Editor Version 5.00\n'
    for f in "$@"; do sed -e '1{/^Windows Registry Editor/d}' -e 's/\r$//' "$f" && echo; done
  } >"$merged"
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$merged"; } >"$merged.utf16"
  e2e_wine64 regedit /S "$(e2e_winpath "$merged.utf16")" || e2e_die "regedit could not import $*"
}

# The build's base prefix, made once (wineboot takes half a minute, much more
# when qemu runs Wine's 32-bit half) with what every machine shares: SimSun's
# stand-ins and Wine's own fonts (Marlett draws the caption buttons), which
# Debian's Wine finds only in the prefix's Fonts folder. Made anew for another
# Wine: the copies would update their linked DLLs, the base's own files, in place.
e2e_base_prefix() {
  E2E_BASE="$VM_E2E_OUT/base"
  mkdir -p "$VM_E2E_OUT"
  local wine
  wine="$(e2e_wine64 --version)"
  (
    flock 9
    [ "$(cat "$E2E_BASE.ready" 2>/dev/null)" = "$wine" ] && exit 0
    e2e_log "making the base prefix $E2E_BASE"
    export WINEPREFIX="$E2E_BASE"
    rm -rf "$WINEPREFIX" "$E2E_BASE.ready"
    e2e_wine64 wineboot -i >/dev/null 2>&1
    e2e_import "$E2E_FIXTURES/wine-fonts.reg"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    echo "$wine" >"$E2E_BASE.ready"
  ) 9>"$VM_E2E_OUT/base.lock"
  [ "$(cat "$E2E_BASE.ready" 2>/dev/null)" = "$wine" ] || e2e_die "could not make the base prefix $E2E_BASE"
}

# e2e_machine DIR FIXTURE: a prefix DIR/wineprefix copied from the base, seeded
# with FIXTURE, with the AutoCAD folders it names (a stand-in acad.exe, Fonts and
# Drv). For a 32-bit program the fixture's 64-bit AutoCADs are 32-bit ones, below
# Wow6432Node, and a 64-bit AutoCAD it must not see joins them (README: The
# machines). E2E_ACAD: the key where this program's AutoCAD lies.
e2e_machine() {
  local dir="$1" placed="$1/machine.reg" f win unix
  e2e_base_prefix
  export WINEPREFIX="$dir/wineprefix"
  rm -rf "$WINEPREFIX" && mkdir -p "$dir"
  # Wine's programs and DLLs are only read: linked. The registry files and the
  # .ini files Wine may rewrite in place are the copy's own.
  cp -al "$E2E_BASE" "$WINEPREFIX"
  for f in "$E2E_BASE"/*.reg "$E2E_BASE"/drive_c/windows/*.ini; do
    cp --remove-destination "$f" "$WINEPREFIX/${f#"$E2E_BASE"/}"
  done
  # Drive C: is a relative link, so the copy's C: is its own and not the base's.
  [ "$(readlink "$WINEPREFIX/dosdevices/c:")" = ../drive_c ] || e2e_die "the copy's drive C: is not its own"
  local files=("$placed")
  E2E_ACAD='HKLM\SOFTWARE\Autodesk\AutoCAD'
  cp "$2" "$placed"
  if [ "$VM_PROGRAM_BITS" = 32 ]; then
    E2E_ACAD='HKLM\SOFTWARE\Wow6432Node\Autodesk\AutoCAD'
    sed -i 's/^\[HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\/[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Autodesk\\/' "$placed"
    files+=("$E2E_FIXTURES/acad64.reg")
  fi
  # Without a window manager nobody draws the caption: Wine draws it then.
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || files+=("$E2E_FIXTURES/wine-bare-x.reg")
  e2e_import "${files[@]}"
  while IFS= read -r win; do
    unix="$(e2e_unix_path "$win")"
    mkdir -p "$unix/Fonts" "$unix/Drv"
    printf 'stand-in for AutoCAD\n' >"$unix/acad.exe"
  done < <(e2e_fixture_locations "${files[@]}")
}

# e2e_fixture_locations FILE...: every AcadLocation, one Windows path a line.
e2e_fixture_locations() {
  sed -n 's/^"AcadLocation"="\(.*\)"\r\{0,1\}$/\1/p' "$@" | sed 's/\\\\/\\/g'
}

# e2e_expect_value KEY NAME DATA [NAME DATA]...: the key's values, as reg.exe
# lists them, must hold exactly these data (into a pipe Wine's reg.exe writes
# code page 936: read back as UTF-8).
e2e_expect_value() {
  local key="$1" listing got
  listing="$(e2e_wine64 reg query "$key" 2>/dev/null | iconv -f GB18030 -t UTF-8 | tr -d '\r' || true)"
  shift
  while [ $# -ge 2 ]; do
    got="$(sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$listing")"
    [ "$got" = "$2" ] || e2e_die "$key $1: \"$got\", expected \"$2\""
    shift 2
  done
}
e2e_key_exists() { e2e_wine64 reg query "$1" >/dev/null 2>&1; }

# e2e_reg_export OUT: HKLM\SOFTWARE (both views) and every user's hive (the
# current user's comes as HKEY_USERS\<SID>), one line per key ("[KEY]") and per
# value ("[KEY] "NAME"=DATA"), sorted, UTF-8. regedit writes UTF-16LE and breaks
# long hex data into continuation lines; both are undone here. The rest of the
# registry is Wine's own (the device tree, services) and takes regedit seconds more.
e2e_reg_export() {
  local key
  for key in 'HKEY_LOCAL_MACHINE\SOFTWARE' HKEY_USERS; do
    e2e_wine64 regedit /E "$(e2e_winpath "$1.utf16")" "$key" && [ -s "$1.utf16" ] || e2e_die "regedit exported nothing"
    iconv -f UTF-16LE -t UTF-8 "$1.utf16" | sed -e '1s/^\xef\xbb\xbf//' -e 's/\r$//'
  done | awk '
    /^\[/ { key = $0; print key; next }
    /^$/ || /^Windows Registry Editor/ { next }
    { line = $0
      while (line ~ /\\$/ && (getline more) > 0) { sub(/\\$/, "", line); sub(/^ +/, "", more); line = line more }
      print key " " line }' | LC_ALL=C sort >"$1"
  rm -f "$1.utf16"
}

# e2e_reg_changes BEFORE AFTER: "- LINE" for what went, "+ LINE" for what came,
# less what Wine itself rewrites (window system settings) and
# what the installer may write: the two loader keys of an installation (and the
# Applications key), where this program's AutoCAD is registered, and a profile's
# Variables key with TRUSTEDPATHS, which may change but not go. Empty: nothing else.
e2e_reg_changes() {
  local user='(HKEY_CURRENT_USER|HKEY_USERS\\S-[0-9-]+)' view='(Wow6432Node\\)?'
  [ "$VM_PROGRAM_BITS" = 32 ] && view='Wow6432Node\\'
  local noise="\\[$user\\\\(Software\\\\Wine\\\\Temporary System Parameters|Volatile Environment)[]\\\\]"
  local ours="\\[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\${view}Autodesk"'\\AutoCAD\\R[0-9.]+\\ACAD-[0-9A-F]+:[0-9a-f]+'
  ours+='\\Applications(\\Kavtor[0-9]{4}(DLL)?\](.*)|\])$'
  ours+="|\\[$user"'\\Software\\Autodesk\\AutoCAD\\R[0-9.]+\\ACAD-[0-9A-F]+:[0-9a-f]+\\Profiles\\[^]]+\\Variables\]'
  ours+='( "TRUSTEDPATHS"=.*)?$'
  LC_ALL=C comm -3 "$1" "$2" | sed -e 's/^\t/+ /' -e '/^+ /!s/^/- /' | grep -Ev "^[-+] ($noise)" |
    awk -v after="$2" '
      BEGIN { while ((getline line < after) > 0) if ((i = index(line, " \"TRUSTEDPATHS\"=")) > 0) kept[substr(line, 1, i - 1)] = 1 }
      /^- / && (i = index($0, " \"TRUSTEDPATHS\"=")) > 0 && !(substr($0, 3, i - 3) in kept) { print "! " substr($0, 3); next }
      { print }' | grep -Eiv "^[-+] ($ours)" | sed 's/^! /- /' || true
}
