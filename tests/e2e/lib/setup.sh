# SetUp.exe as a user meets it: its distribution, its dialog's ids and texts, pictures. Expects lib/machine.sh,
# VM_PROGRAM, VM_EDITION_BITS, VM_DIALOG_IDS, E2E_WORK and E2E_SHOTS.
SETUP_CAPTION='Vellmark-结构工具箱安装' SETUP_FOLDER='C:\Kavtor' UNINSTALL_CAPTION='Vellmark-软件卸载'
# Modules, shape fonts, assemblies, AutoCAD 2008's plot driver, and files of its own.
SETUP_PACKAGE=(Kavtor2008.ARX Kavtor2010.ARX Kavtor2013.ARX Kavtor2015.ARX Kavtor_EN.shx Kavtor_HZ.shx
  ACAD2007.dll ACAD2010.dll ACAD2013.dll Kavtor.prt5 vmtools.arx vmtools.cuix 说明.txt)
# The dialog's ids, named as in resource.h (IDC_INSTALL, IDC_ACAD2010, ...), written out by the build
# (tests/e2e/CMakeLists.txt).
source "${VM_DIALOG_IDS:?}"

# setup_box_id YEAR: the release's check box.
setup_box_id() {
  local name="IDC_ACAD$1"
  [ -n "${!name:-}" ] || e2e_die "no check box for $1 in $VM_DIALOG_IDS"
  echo "${!name}"
}

# setup_prepare FIXTURE...: the machine, and E2E_DIST: SetUp.exe beside the package.
setup_prepare() {
  e2e_machine "$E2E_WORK" "$@" && E2E_DIST="$E2E_WORK/dist" && rm -rf "$E2E_WORK/dist"
  mkdir -p "$E2E_DIST/Data" && cp "$VM_PROGRAM" "$E2E_DIST/"
  (cd "$E2E_DIST/Data" && for f in "${SETUP_PACKAGE[@]}"; do echo "package file $f" >"$f"; done)
}

# e2e_start DIR EXE LOG: started from its folder as Explorer does (pid: E2E_PID).
e2e_start() { (cd "$1" && e2e_as "$VM_SOURCE_DIR/tools/wine-run.sh" "$2") >>"$3" 2>&1 & E2E_PID=$!; }
e2e_wait_ended() {  # [SECONDS]: it ends; its status in E2E_STATUS
  timeout "${1:-30}" tail -s 0.1 --pid="$E2E_PID" -f /dev/null || e2e_die "the program still runs after ${1:-30} s"
  wait "$E2E_PID" && E2E_STATUS=0 || E2E_STATUS=$?
}

# setup_start FOUND...: SetUp.exe started; found boxes enabled, ticked, the others greyed out, clear, none past 2016
# in the 32-bit edition; the install button going with them; the edition, the folder.
setup_start() {
  local checks=() y state install=disabled
  e2e_start "$E2E_DIST" SetUp.exe "$E2E_WORK/program.log"
  for y in $(seq 2007 2026); do
    state='disabled visible unchecked'
    [[ " $* " == *" $y "* ]] && state='enabled visible checked'
    [ "$VM_EDITION_BITS" = 64 ] || [ "$y" -lt 2017 ] || state='hidden unchecked'
    [[ $state == enabled* ]] && install=enabled
    checks+=(";" expect "$(setup_box_id "$y")" "$state")
  done
  # The first start in a fresh prefix, under qemu above all, takes a while.
  drv window "$SETUP_CAPTION" 90000 "${checks[@]}" ";" expect "$IDC_INSTALL" "$install visible" \
    ";" expect "$IDC_EDITION" "\"( ${VM_EDITION_BITS}位 AutoCAD版 )\"" ";" expect "$IDC_PATH" "enabled visible \"$SETUP_FOLDER\""
}

# setup_box SHOT ANSWER VERB...: the dialog's verbs up to a message box, pictured, answered unless ANSWER is "".
setup_box() {
  local shot="$1" answer="$2" caption
  shift 2
  caption="$(drv window "$SETUP_CAPTION" "$@" | sed -n 's/^caption #32770 [a-z ]*"\(.*\)"$/\1/p' | tail -1)"
  e2e_shot "$caption" "$shot"
  [ -z "$answer" ] || drv window "$SETUP_CAPTION" ";" msgbox ";" answer "$answer" >/dev/null
}

# setup_done VERB...: the dialog's verbs, then the completion messages pictured and answered; the program ends.
setup_done() {
  setup_box done ok "$@" ";" msgbox 120000 ";" expect 0xFFFF '"安装完成，重启CAD即可使用 !"'
  setup_box import-settings ok ";" msgbox 20000 ";" expect-contains 0xFFFF '早期版本设置导入'
  e2e_wait_ended 30
}

# e2e_shot CAPTION NAME: the window pictured once it stopped changing (one just shown may still be painting).
e2e_shot() {
  local x y w h i file="$E2E_SHOTS$2.png"
  read -r x y w h < <(drv window "$1" ";" rect) && [ "$w" -gt 50 ] && [ "$h" -gt 50 ] || e2e_die "no picture of \"$1\""
  [ "$x" -ge 0 ] || { w=$((w + x)) && x=0; }  # a box wider than the 1280-pixel screen (a long path)
  [ $((x + w)) -le 1280 ] || w=$((1280 - x))
  [ "$y" -ge 0 ] || { h=$((h + y)) && y=0; }  # and taller (a long list)
  [ $((y + h)) -le 1024 ] || h=$((1024 - y))
  rm -f "$file.a"
  for ((i = 0; i < 20; i++)); do
    import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$file.b"
    cmp -s "$file.a" "$file.b" 2>/dev/null && break
    mv "$file.b" "$file.a"
  done
  convert -size "${w}x${h}" -depth 8 "rgb:$file.a" "$file" && rm -f "$file".[ab] && e2e_log "picture: $file"
}

# setup_entry_value EXPORT NAME: a value of this edition's Apps & Features entry in a registry export, as regedit
# writes it (a string with its quotes).
setup_entry_value() {
  grep -F "\\Uninstall\\VellmarkToolbox${VM_EDITION_BITS}] \"$2\"=" "$1" | sed 's/^[^]]*] "[^"]*"=//'
}

# setup_uninstall EXPORT: the uninstaller started as Apps & Features starts it, its UninstallString from the export
# without arguments; its question pictured and answered Yes; its copy's closing message pictured and answered.
# Prints the closing message.
setup_uninstall() {
  local command
  command="$(setup_entry_value "$1" UninstallString | sed -e 's/^"\\"//' -e 's/\\""$//' -e 's/\\\\/\\/g')"
  [ -n "$command" ] || e2e_die "no Apps & Features entry of the ${VM_EDITION_BITS}-bit edition"
  e2e_log "uninstalling: $command"
  e2e_start "$WINEPREFIX/drive_c" "$command" "$E2E_WORK/uninstall.log"
  drv window "$UNINSTALL_CAPTION" 60000 ";" expect-contains 0xFFFF '将从本机卸载' >/dev/null ||
    e2e_die "the uninstaller asked nothing"
  e2e_shot "$UNINSTALL_CAPTION" uninstall-question
  drv window "$UNINSTALL_CAPTION" ";" answer yes >/dev/null
  drv window "$UNINSTALL_CAPTION" 60000 >/dev/null || e2e_die "the uninstaller said nothing at its end"
  e2e_shot "$UNINSTALL_CAPTION" uninstall-done
  drv window "$UNINSTALL_CAPTION" ";" dump | sed -n 's/^  65535 Static [a-z ]*"\(.*\)"$/\1/p'
  drv window "$UNINSTALL_CAPTION" ";" answer ok >/dev/null
}
