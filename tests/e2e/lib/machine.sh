# The machine a scenario, the demo or a benchmark runs on, and its registry read back (README: The machines).
# Expects VM_SOURCE_DIR, VM_E2E_OUT, VM_DRIVER, VM_PROGRAM_BITS.
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8  # code page 936 (tools/install-deps.sh makes the locale)
E2E_FIXTURES="$VM_SOURCE_DIR/tests/e2e/fixtures"
e2e_log() { printf '[e2e] %s\n' "$*"; }
e2e_die() { printf '[e2e] FAILED: %s\n' "$*" >&2; exit 1; }
# e2e_as COMMAND...: run as the machine's user: root, or after e2e_standard_user the Unix user other than root for
# whom Wine honours file permissions, with the prefix, display and locale.
e2e_as() {
  if [ -z "${E2E_USER:-}" ]; then "$@"; else
    runuser -u "$E2E_USER" -- env HOME="$E2E_WORK/home" WINEPREFIX="$WINEPREFIX" WINEDEBUG="$WINEDEBUG" \
      WINEDLLOVERRIDES="$WINEDLLOVERRIDES" LC_ALL="$LC_ALL" LANG="$LANG" DISPLAY="$DISPLAY" \
      XAUTHORITY="$E2E_WORK/home/.Xauthority" "$@"
  fi
}
# The 64-bit loader: `wine reg(edit)` are the 32-bit tools where Wine's 32-bit half is.
e2e_wine64() { e2e_as /usr/lib/wine/wine64 "$@"; }
drv() { e2e_wine64 "$VM_DRIVER" "$@"; }
e2e_winpath() { printf 'Z:%s' "${1//\//\\}"; }
e2e_unix_path() { local unix="$WINEPREFIX/drive_c/${1:3}" && printf '%s' "${unix//\\//}"; }  # of a C:\ path

# e2e_import FILE...: UTF-8 .reg files imported as one UTF-16 file (without a BOM regedit reads code page 936).
e2e_import() {
  { printf '\xff\xfe' && { echo 'Windows Registry Editor Version 5.00' &&
    sed -e '/^Windows Registry Editor/d' -e 's/\r$//' "$@"; } | iconv -f UTF-8 -t UTF-16LE; } >"$WINEPREFIX.reg"
  e2e_wine64 regedit /S "$(e2e_winpath "$WINEPREFIX.reg")" || e2e_die "regedit could not import $*"
}

# The build's base prefix, made once per Wine (wineboot is slow) with fonts Debian's Wine finds only in the prefix.
e2e_base_prefix() {
  local wine && wine="$(e2e_wine64 --version)" && E2E_BASE="$VM_E2E_OUT/base" && mkdir -p "$VM_E2E_OUT"
  (
    flock 9
    [ "$(cat "$E2E_BASE.ready" 2>/dev/null)" = "$wine" ] && exit 0
    e2e_log "making the base prefix $E2E_BASE" && rm -rf "$E2E_BASE" "$E2E_BASE.ready"
    export WINEPREFIX="$E2E_BASE" && e2e_wine64 wineboot -i >/dev/null 2>&1 && e2e_import "$E2E_FIXTURES/wine-fonts.reg"
    cp /usr/share/wine/fonts/*.ttf "$E2E_BASE/drive_c/windows/Fonts/" && wineserver -w && echo "$wine" >"$E2E_BASE.ready"
  ) 9>"$VM_E2E_OUT/base.lock"
  [ "$(cat "$E2E_BASE.ready" 2>/dev/null)" = "$wine" ] || e2e_die "could not make the base prefix $E2E_BASE"
}

# e2e_machine DIR FIXTURE...: DIR/wineprefix seeded with the fixtures and their AutoCAD folders (README: The
# machines). E2E_ACAD: the key where the program's AutoCAD lies.
e2e_machine() {
  local placed="$1/machine.reg" f win files=("$1/machine.reg")
  e2e_base_prefix && export WINEPREFIX="$1/wineprefix" && rm -rf "$1/wineprefix" && mkdir -p "$1"
  # Linked but for the registry and .ini files, which Wine rewrites in place.
  cp -al "$E2E_BASE" "$WINEPREFIX"
  for f in "$E2E_BASE"/*.reg "$E2E_BASE"/drive_c/windows/*.ini; do cp --remove-destination "$f" "$WINEPREFIX/${f#"$E2E_BASE"/}"; done
  [ "$(readlink "$WINEPREFIX/dosdevices/c:")" = ../drive_c ] || e2e_die "the copy's drive C: is not its own"
  E2E_ACAD='HKLM\SOFTWARE\Autodesk\AutoCAD' && cat "${@:2}" | e2e_program_view >"$placed"
  if [ "$VM_PROGRAM_BITS" = 32 ]; then
    E2E_ACAD='HKLM\SOFTWARE\Wow6432Node\Autodesk\AutoCAD' && files+=("$E2E_FIXTURES/acad64.reg")
  fi
  # Without a window manager nobody draws the caption: Wine draws it then.
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || files+=("$E2E_FIXTURES/wine-bare-x.reg")
  e2e_import "${files[@]}"
  while IFS= read -r win; do
    mkdir -p "$(e2e_unix_path "$win")"/{Fonts,Drv} && echo 'stand-in for AutoCAD' >"$(e2e_unix_path "$win")/acad.exe"
  done < <(e2e_fixture_locations "${files[@]}")
}
# e2e_program_view: lines of a .reg file or of an export (with or without a leading "+ " or "- ") as the program
# sees them: a 32-bit program's HKLM\SOFTWARE\Autodesk and \Microsoft are below Wow6432Node on 64-bit Windows.
e2e_program_view() {
  if [ "$VM_PROGRAM_BITS" = 32 ]; then
    sed -E 's/^((. )?\[HKEY_LOCAL_MACHINE\\SOFTWARE\\)(Autodesk|Microsoft)\\/\1Wow6432Node\\\3\\/'
  else
    cat
  fi
}
# e2e_standard_user: from now on the machine is used by a Unix user other than root (made once), as a standard user
# of Windows: the prefix and its registry files are handed to them, the rest of the prefix stays root's.
e2e_standard_user() {
  E2E_USER=vellmark-e2e
  id -u "$E2E_USER" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$E2E_USER" ||
    e2e_die "cannot make the user $E2E_USER (run as root)"
  wineserver -w  # root's server writes the seeded registry out as it ends
  rm -f "$WINEPREFIX/wineserver"  # root's, linked from the base prefix
  mkdir -p "$E2E_WORK/home" && touch "$WINEPREFIX.lock" "$WINEPREFIX.reg" "$E2E_WORK/home/.Xauthority"
  [ -z "${XAUTHORITY:-}" ] || cp "$XAUTHORITY" "$E2E_WORK/home/.Xauthority"
  chown "$E2E_USER" "$WINEPREFIX" "$WINEPREFIX"/*.reg "$WINEPREFIX.lock" "$WINEPREFIX.reg" "$E2E_WORK/home" \
    "$E2E_WORK/home/.Xauthority" "$E2E_WORK"
  local needed
  for needed in "$VM_DRIVER" "$VM_SOURCE_DIR/tools/wine-run.sh" "$E2E_DIST/SetUp.exe" "$WINEPREFIX/drive_c/windows"; do
    runuser -u "$E2E_USER" -- test -r "$needed" ||
      e2e_die "$E2E_USER cannot read $needed: the checkout and build folders must be readable by other users"
  done
}
e2e_fixture_locations() { sed -n 's/^"AcadLocation"="\(.*\)"\r\{0,1\}$/\1/p' "$@" | sed 's/\\\\/\\/g'; }

# e2e_reg_export OUT: HKLM\SOFTWARE and the users' hives, sorted, a line per key and per value ("[KEY] "NAME"=DATA").
e2e_reg_export() {
  local key
  for key in 'HKEY_LOCAL_MACHINE\SOFTWARE' HKEY_USERS; do
    e2e_wine64 regedit /E "$(e2e_winpath "$1.utf16")" "$key" && [ -s "$1.utf16" ] || e2e_die "regedit exported nothing"
    iconv -f UTF-16LE -t UTF-8 "$1.utf16" | tr -d '\r'
  done | awk '/^\[/ { key = $0; print; next } /./ { print key " " $0 }' | LC_ALL=C sort >"$1" && rm "$1.utf16"
}

# e2e_reg_diff BEFORE AFTER: "- " what went, "+ " what came, less Wine's window settings.
e2e_reg_diff() {
  LC_ALL=C comm -3 "$1" "$2" | sed -e 's/^\t/+ /' -e '/^+ /!s/^/- /' |
    grep -Ev '\\Software\\Wine\\Temporary System Parameters[]\\]|\\Volatile Environment[]\\]' || true
}

# e2e_reg_changes BEFORE AFTER: e2e_reg_diff less the loader keys, TRUSTEDPATHS and the Apps & Features entry,
# which may change but not go.
e2e_reg_changes() {
  local view='(Wow6432Node\\)?' && [ "$VM_PROGRAM_BITS" = 32 ] && view='Wow6432Node\\'
  e2e_reg_diff "$1" "$2" | grep -Eiv \
    -e "^. \\[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\${view}Autodesk\\\\AutoCAD\\\\R[^\\\\]+\\\\ACAD-[^\\\\]+\\\\Applications(\\\\Kavtor[0-9]{4}(DLL)?)?\\]" \
    -e '\\Software\\Autodesk\\AutoCAD\\R[^\\]+\\ACAD-[^\\]+\\Profiles\\[^]]+\\Variables\]( "TRUSTEDPATHS"=|$)' \
    -e '\\Uninstall\\VellmarkToolbox[0-9]+\]' || true
  LC_ALL=C comm -23 <(grep -o '^.* "TRUSTEDPATHS"=' "$1") <(grep -o '^.* "TRUSTEDPATHS"=' "$2") | sed 's/^/- /'
}
