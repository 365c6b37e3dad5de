# What a registry fixture says about the simulated AutoCAD installations.

# e2e_fixture_locations FILE...: every AcadLocation value, one Windows path a line.
e2e_fixture_locations() {
  sed -n 's/^"AcadLocation"="\(.*\)"\r\{0,1\}$/\1/p' "$@" | sed 's/\\\\/\\/g'
}

# e2e_unix_path WINPATH: where a C: path of the prefix lies on Linux.
e2e_unix_path() {
  local unix="$WINEPREFIX/drive_c/${1:3}"
  printf '%s' "${unix//\\//}"
}

# e2e_make_acad_folders FILE...: creates the C: installation folders the fixtures
# name, each with a stand-in acad.exe and the Fonts and Drv folders an AutoCAD
# installation has, so they exist as on a real machine.
e2e_make_acad_folders() {
  local win unix
  while IFS= read -r win; do
    case "$win" in
      [Cc]:\\*) ;;
      *) continue ;;
    esac
    unix="$(e2e_unix_path "$win")"
    mkdir -p "$unix/Fonts" "$unix/Drv"
    printf 'stand-in for AutoCAD\n' >"$unix/acad.exe"
  done < <(e2e_fixture_locations "$@")
}

# e2e_fixture_installations FILE: one line per key that holds both a product name
# and an install folder: "folder  (product, registry view)".
e2e_fixture_installations() {
  sed 's/\r$//' "$1" | awk '
    function value(line) { sub(/^"[A-Za-z]+"="/, "", line); sub(/"$/, "", line); gsub(/\\\\/, "\\", line); return line }
    /^\[/ { view = ($0 ~ /Wow6432Node/) ? "32-bit registry view" : "64-bit registry view"; name = ""; loc = ""; next }
    /^"ProductName"=/ { name = value($0) }
    /^"AcadLocation"=/ { loc = value($0) }
    name != "" && loc != "" { printf "  %s  (%s, %s)\n", loc, name, view; name = ""; loc = "" }'
}
