# What SetUp.exe's first dialog looks like to a user, for the scenarios and the
# demo. Expects VM_EDITION_BITS (32 or 64).

SETUP_CAPTION='Vellmark-结构工具箱安装'
SETUP_TITLE='结构工具箱软件 V2025.03.02'
SETUP_FOLDER='C:\Kavtor'
SETUP_RELEASES=(2007 2008 2009 2010 2011 2012 2013 2014 2015 2016
  2017 2018 2019 2020 2021 2022 2023 2024 2025 2026)
ID_FOLDER=1000
ID_TITLE=1013
ID_BROWSE=1015
ID_EDITION=1021
ID_INSTALL=1022
ID_CANCEL=2

setup_edition_text() { printf '( %s位 AutoCAD版 )' "$VM_EDITION_BITS"; }

# setup_box_id YEAR: the check box of that release.
setup_box_id() {
  case "$1" in
    2007) echo 1018 ;; 2008) echo 1019 ;; 2009) echo 1020 ;; 2010) echo 1027 ;;
    2011) echo 1026 ;; 2012) echo 1028 ;; 2013) echo 1029 ;; 2014) echo 1030 ;;
    2015) echo 1031 ;; 2016) echo 1032 ;;
    20[12][0-9]) echo $((1033 + $1 - 2017)) ;;
    *) e2e_die "no release $1" ;;
  esac
}

# setup_box_shown YEAR: the 32-bit edition has no boxes for 2017 and later.
setup_box_shown() { [ "$VM_EDITION_BITS" = 64 ] || [ "$1" -lt 2017 ]; }

# setup_found_shown YEAR...: those of the found releases whose box is shown.
setup_found_shown() {
  local y
  for y in "$@"; do setup_box_shown "$y" && printf '%s\n' "$y"; done
  return 0
}

# setup_box_checks FOUND...: driver words checking all 20 boxes, given the
# releases with an installation: found and shown = enabled and ticked, not found =
# greyed out and clear, not shown = hidden and clear.
setup_box_checks() {
  local y id found
  for y in "${SETUP_RELEASES[@]}"; do
    id=$(setup_box_id "$y")
    found=no
    [[ " $* " == *" $y "* ]] && found=yes
    if ! setup_box_shown "$y"; then
      printf '%s\n' ";" expect "$id" hidden unchecked
    elif [ $found = yes ]; then
      printf '%s\n' ";" expect "$id" enabled visible checked
    else
      printf '%s\n' ";" expect "$id" disabled visible unchecked
    fi
  done
}

# setup_dialog_checks: the words checking the dialog's fixed texts and buttons.
setup_dialog_checks() {
  printf '%s\n' expect-text caption "$SETUP_CAPTION" \
    ";" expect-text "$ID_TITLE" "$SETUP_TITLE" \
    ";" expect-text "$ID_EDITION" "$(setup_edition_text)" \
    ";" expect-text "$ID_FOLDER" "$SETUP_FOLDER" ";" expect "$ID_FOLDER" enabled visible \
    ";" expect "$ID_BROWSE" enabled visible \
    ";" expect-text "$ID_CANCEL" '取  消' ";" expect "$ID_CANCEL" enabled visible
}

# setup_untick_words FOUND...: driver words unticking every shown found box in
# turn; the install button must stay enabled while one is still ticked and be
# greyed out once none is.
setup_untick_words() {
  local shown=() i last
  mapfile -t shown < <(setup_found_shown "$@")
  last=$((${#shown[@]} - 1))
  for i in "${!shown[@]}"; do
    printf '%s\n' ";" uncheck "$(setup_box_id "${shown[i]}")" ";" expect "$ID_INSTALL" "$([ "$i" -lt "$last" ] && echo enabled || echo disabled)"
  done
}

# setup_start_and_check FOUND...: SetUp.exe from the scenario's distribution,
# its dialog checked against the releases found; the run's number in E2E_RUN.
setup_start_and_check() {
  E2E_RUN=$((${E2E_RUN:-0} + 1))
  e2e_start "$E2E_WORK/dist" SetUp.exe "$E2E_WORK/program-$E2E_RUN.log"
  local checks=() install=disabled
  [ -n "$(setup_found_shown "$@")" ] && install=enabled
  mapfile -t checks < <(setup_dialog_checks; setup_box_checks "$@")
  drv window "$SETUP_CAPTION" 30000 ";" "${checks[@]}" ";" expect "$ID_INSTALL" "$install" visible
}

# setup_prepare FIXTURE: fresh prefix seeded with FIXTURE, installation folders,
# distribution folder.
setup_prepare() {
  e2e_fresh_prefix "$E2E_WORK/wineprefix"
  e2e_seed_display
  e2e_seed_registry "$1"
  e2e_make_acad_folders "$1"
  e2e_make_dist "$E2E_WORK/dist" "$VM_PROGRAM"
}

# setup_report_boxes: one line per release box of the running dialog, as the
# driver sees it ("  2010  enabled visible checked"), then the releases whose
# box discovery enabled.
setup_report_boxes() {
  local words=() y lines=() i=0 state found=() unseen=()
  for y in "${SETUP_RELEASES[@]}"; do words+=(";" state "$(setup_box_id "$y")"); done
  mapfile -t lines < <(drv window "$SETUP_CAPTION" "${words[@]}")
  for y in "${SETUP_RELEASES[@]}"; do
    # "1027 Button enabled visible checked "..."": keep the state words.
    state="$(sed -E 's/^[0-9]+ [^ ]+ ((enabled|disabled) (visible|hidden)( [a-z]+)?).*/\1/' <<<"${lines[i]}")"
    printf '  %s  %s\n' "$y" "$state"
    [[ "$state" == enabled* ]] && found+=("$y")
    [[ "$state" == "enabled hidden"* ]] && unseen+=("$y")
    i=$((i + 1))
  done
  printf 'Discovery found AutoCAD %s\n' "${found[*]:-nothing}"
  [ ${#unseen[@]} -eq 0 ] || printf '  (no box in the %s-bit edition: %s)\n' "$VM_EDITION_BITS" "${unseen[*]}"
}
