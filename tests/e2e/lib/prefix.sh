# A Wine prefix made for one run: created fresh, its registry seeded from .reg
# fixtures, its fonts fixed so the dialogs' Chinese and caption buttons show.

# e2e_fresh_prefix DIR: an empty prefix in DIR (created by the first Wine call).
e2e_fresh_prefix() {
  export WINEPREFIX="$1"
  [ -n "$WINEPREFIX" ] || e2e_die "no prefix folder"
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  rm -f "$WINEPREFIX.lock"
  mkdir -p "$(dirname "$WINEPREFIX")"
}

# e2e_merge_reg OUT FILE...: one .reg file from several, each with its own header.
e2e_merge_reg() {
  local out="$1" f
  shift
  printf 'Windows Registry Editor Version 5.00\n' >"$out"
  for f in "$@"; do
    [ -f "$f" ] || e2e_die "no registry fixture $f"
    printf '\n' >>"$out"
    sed -e '1{/^Windows Registry Editor Version 5.00/d}' -e 's/\r$//' "$f" >>"$out"
  done
}

# e2e_seed_registry FILE...: imports UTF-8 .reg fixtures into the prefix.
# Wine's regedit reads a file without a byte order mark in the ANSI code page
# (936 here), so the UTF-8 text is handed over as UTF-16LE with a BOM.
e2e_seed_registry() {
  local work="$WINEPREFIX.seed"
  mkdir -p "$work"
  e2e_merge_reg "$work/seed.reg" "$@"
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$work/seed.reg"; } >"$work/seed.utf16.reg"
  e2e_wine regedit /S "$(e2e_winpath "$work/seed.utf16.reg")" || e2e_die "regedit could not import $*"
  # The import is in the wineserver's memory; writing it out makes the seeded
  # registry visible in the prefix's .reg files for whoever looks afterwards.
  wineserver -w
}

# e2e_has_window_manager: true when the X display has one (a user's desktop).
e2e_has_window_manager() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# e2e_seed_display: fonts and, on a bare X server, Wine-drawn window frames.
e2e_seed_display() {
  local fixtures="$VM_SOURCE_DIR/tests/e2e/fixtures" files=()
  files+=("$fixtures/wine-fonts.reg")
  # Without a window manager nobody draws the caption, so neither the title nor
  # the close box would be in the screenshots: Wine then draws them itself.
  e2e_has_window_manager || files+=("$fixtures/wine-bare-x.reg")
  e2e_seed_registry "${files[@]}"
  # Debian's Wine does not find its own fonts (Marlett draws the caption buttons,
  # Tahoma the default dialog font) unless they sit in the prefix's Fonts folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  fi
}
