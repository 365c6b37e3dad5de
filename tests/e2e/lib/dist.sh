# The distribution folder a user gets: SetUp.exe beside a Data folder.

# e2e_make_dist DIR PROGRAM: lays out DIR with PROGRAM copied in and dummy packages.
e2e_make_dist() {
  local dir="$1" program="$2"
  [ -f "$program" ] || e2e_die "no program $program (build it first)"
  rm -rf "$dir"
  mkdir -p "$dir/Data"
  cp "$program" "$dir/"
  local f
  for f in vmtools.arx vmtools.cuix vmload.lsp vmhelp.chm; do
    printf 'dummy package file %s of the end-to-end tests\n' "$f" >"$dir/Data/$f"
  done
  # A Chinese file name, as the real packages have: it must survive code page 936.
  printf 'dummy package file\n' >"$dir/Data/说明.txt"
}
