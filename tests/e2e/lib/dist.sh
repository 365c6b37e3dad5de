# The distribution folder a user gets: SetUp.exe beside a Data folder.

# e2e_make_dist DIR PROGRAM: lays out DIR with PROGRAM copied in and dummy packages.
e2e_make_dist() {
  local dir="$1" program="$2"
  [ -f "$program" ] || e2e_die "no program $program (build it first)"
  rm -rf "$dir"
  mkdir -p "$dir/Data"
  cp "$program" "$dir/"
  # A Chinese file name, as the real packages have: it must survive code page 936.
  e2e_add_package_files "$dir" vmtools.arx vmtools.cuix vmload.lsp vmhelp.chm 说明.txt
}

# e2e_add_package_files DIR FILE...: dummy files of those names in DIR's package
# folder (DIR/Data), each holding its own name so no two are alike.
e2e_add_package_files() {
  local dir="$1" f
  shift
  for f in "$@"; do
    printf 'package file %s\n' "$f" >"$dir/Data/$f"
  done
}
