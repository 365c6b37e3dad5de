# SetUp.exe as a user meets it: the distribution folder, the program started
# from it, its dialog's ids and texts, pictures of its windows. Expects
# lib/machine.sh, VM_PROGRAM, VM_EDITION_BITS (32 or 64: which boxes it shows),
# E2E_WORK (the scenario's folder) and E2E_SHOTS (a picture's path less ".png").

SETUP_CAPTION='Vellmark-结构工具箱安装'
SETUP_FOLDER='C:\Kavtor'
mapfile -t SETUP_RELEASES < <(seq 2007 2026)
# The add-on's package: a module per release line, the two shape fonts, the
# assemblies and AutoCAD 2008's plot driver; and files of its own, one with a
# Chinese name that must survive code page 936.
SETUP_PACKAGE=(Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX Kavtor_EN.shx Kavtor_HZ.shx
  ACAD2007.dll ACAD2010.dll ACAD2013.dll Kavtor.prt5 vmtools.arx vmtools.cuix 说明.txt)
ID_FOLDER=1000 ID_BROWSE=1015 ID_INSTALL=1022 ID_CANCEL=2 ID_PROGRESS=1014

# setup_box_id YEAR: the release's check box (2010 and 2011 swap theirs).
setup_box_id() {
  case "$1" in
    2007) echo 1018 ;; 2008) echo 1019 ;; 2009) echo 1020 ;; 2010) echo 1027 ;; 2011) echo 1026 ;;
    2012) echo 1028 ;; *) echo $(($1 - 2013 + 1029)) ;;
  esac
}
# The 32-bit edition has no boxes for 2017 and later.
setup_box_shown() { [ "$VM_EDITION_BITS" = 64 ] || [ "$1" -lt 2017 ]; }

# setup_add_files FILE...: package files of those names, each holding its own
# name so that no two are alike.
setup_add_files() {
  local f
  for f in "$@"; do printf 'package file %s\n' "$f" >"$E2E_DIST/Data/$f"; done
}

# setup_prepare FIXTURE: the scenario's machine and its distribution folder
# E2E_DIST (SetUp.exe beside Data, holding the package).
setup_prepare() {
  e2e_machine "$E2E_WORK" "$1"
  E2E_DIST="$E2E_WORK/dist"
  rm -rf "$E2E_DIST" && mkdir -p "$E2E_DIST/Data"
  cp "$VM_PROGRAM" "$E2E_DIST/"
  setup_add_files "${SETUP_PACKAGE[@]}"
}

# e2e_start DIR EXE LOG: DIR/EXE started from its own folder, as a double click
# in Explorer does; its Linux pid in E2E_PID.
e2e_start() {
  (cd "$1" && exec "$VM_SOURCE_DIR/tools/wine-run.sh" "$2") >"$3" 2>&1 &
  E2E_PID=$!
}

# e2e_wait_ended [SECONDS]: the started program must end; its status in E2E_STATUS.
e2e_wait_ended() {
  local i
  for ((i = 0; i < ${1:-30} * 10; i++)); do
    if ! kill -0 "$E2E_PID" 2>/dev/null; then
      wait "$E2E_PID" && E2E_STATUS=0 || E2E_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  e2e_die "the program still runs ${1:-30} s after it was told to end"
}

# setup_start FOUND...: SetUp.exe started from the distribution, its dialog
# checked given the releases found: found and shown = enabled and ticked, not
# found = greyed out and clear, not shown = hidden and clear; the texts, the
# folder, and the install button enabled when a shown box is ticked.
setup_start() {
  local checks=() y id install=disabled
  E2E_RUN=$((${E2E_RUN:-0} + 1))
  e2e_start "$E2E_DIST" SetUp.exe "$E2E_WORK/program-$E2E_RUN.log"
  for y in "${SETUP_RELEASES[@]}"; do
    id=$(setup_box_id "$y")
    if ! setup_box_shown "$y"; then
      checks+=(";" expect "$id" hidden unchecked)
    elif [[ " $* " == *" $y "* ]]; then
      checks+=(";" expect "$id" enabled visible checked) && install=enabled
    else
      checks+=(";" expect "$id" disabled visible unchecked)
    fi
  done
  # The first start in a fresh prefix, under qemu above all, takes a while.
  drv window "$SETUP_CAPTION" 90000 ";" expect-text caption "$SETUP_CAPTION" \
    ";" expect-text 1013 '结构工具箱软件 V2025.03.02' ";" expect-text 1021 "( ${VM_EDITION_BITS}位 AutoCAD版 )" \
    ";" expect-text "$ID_FOLDER" "$SETUP_FOLDER" ";" expect "$ID_FOLDER" enabled visible \
    ";" expect "$ID_BROWSE" enabled visible ";" expect-text "$ID_CANCEL" '取  消' ";" expect "$ID_CANCEL" enabled visible \
    "${checks[@]}" ";" expect "$ID_INSTALL" "$install" visible
}

# setup_untick FOUND...: every shown found box unticked in turn; the install
# button stays enabled while one is still ticked and is greyed out after the last.
setup_untick() {
  local words=() y last=""
  for y in "$@"; do setup_box_shown "$y" && last=$y; done
  for y in "$@"; do
    setup_box_shown "$y" || continue
    words+=(";" uncheck "$(setup_box_id "$y")" ";" expect "$ID_INSTALL" "$([ "$y" = "$last" ] && echo disabled || echo enabled)")
  done
  drv window "$SETUP_CAPTION" "${words[@]}"
}

# setup_end_by VERB...: the dialog ended by these driver verbs; the driver must
# see the window go and the program end with the status Linux sees.
setup_end_by() {
  local seen
  seen="$(drv window "$SETUP_CAPTION" ";" "$@" ";" gone ";" exited)"
  e2e_wait_ended 20
  [ "$seen" = "exit code $E2E_STATUS" ] || e2e_die "the driver saw \"$seen\"; the program ended with $E2E_STATUS"
}

# setup_done: the two messages that end an installation answered (the first with
# the Enter key, as a user would), then the program must end.
setup_done() {
  drv window "$SETUP_CAPTION" ";" msgbox 120000 ";" expect-contains 0xFFFF '安装完成，重启CAD即可使用 !' \
    ";" key enter ";" gone ";" msgbox 20000 ";" expect-contains 0xFFFF '早期版本设置导入' ";" answer ok >/dev/null
  e2e_wait_ended 30
}

# e2e_shot CAPTION NAME: a PNG of the window with this caption once its picture
# stopped changing (a window just shown or clicked may still be painting).
e2e_shot() {
  local x y w h i file="$E2E_SHOTS$2.png"
  read -r x y w h < <(drv window "$1" ";" rect) || e2e_die "no window \"$1\" to take a picture of"
  [ "$w" -gt 50 ] && [ "$h" -gt 50 ] || e2e_die "\"$1\" is $w x $h pixels"
  mkdir -p "$(dirname "$file")"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$file.a"
  for ((i = 0; i < 20; i++)); do
    import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$file.b"
    cmp -s "$file.a" "$file.b" && break
    mv "$file.b" "$file.a"
  done
  convert -size "${w}x${h}" -depth 8 "rgb:$file.b" "$file" && rm -f "$file.a" "$file.b"
  e2e_log "picture: $file"
}
