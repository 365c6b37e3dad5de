# SetUp.exe started by a standard user: Wine run as a Unix user other than root, for whom it honours file
# permissions (its registry has no access rules, so here only folders refuse: the keys' refusals are the in-process
# tests' stand-in). Told before anything is made what may not be written and what to do; a folder the user may
# write below Program Files is no refusal; the dialog stays, nothing is made.
setup_prepare "$E2E_FIXTURES/install.reg"
e2e_standard_user
own="$WINEPREFIX/drive_c/Program Files/Kavtor" && mkdir -p "$own" && chown "$E2E_USER" "$own"
e2e_reg_export "$E2E_WORK/registry-before.txt"
listing() { find "$WINEPREFIX/drive_c" -path "$WINEPREFIX/drive_c/users" -prune -o -path "$WINEPREFIX/drive_c/windows" -prune -o -print | sort; }
listing >"$E2E_WORK/files-before.txt"
folders=() && while IFS= read -r win; do folders+=("$win" "$win\\Fonts"); done < <(e2e_fixture_locations "$E2E_FIXTURES/install.reg")
folders+=('C:\Program Files (x86)\AutoCAD 2008\Drv')
refused=() && for f in "${folders[@]}"; do refused+=(";" expect-contains 0xFFFF "无权写入 $f（错误 5）"); done
setup_start 2008 2010 2013 2016
# The default folder: C:\ takes no new folder from this user.
setup_box refused ok ";" click "$IDC_INSTALL" ";" msgbox 60000 \
  ";" expect-contains 0xFFFF '当前用户没有写入以下位置的权限，安装尚未开始，未作任何更改：' \
  ";" expect-contains 0xFFFF '无权写入 C:\（错误 5）' "${refused[@]}" \
  ";" expect-contains 0xFFFF '请右键单击SetUp.exe，选择“以管理员身份运行”后再安装；或取消勾选以上AutoCAD版本、选择其他安装路径。'
# A folder of the user's own below Program Files: no refusal of it; AutoCAD's folders still are.
told="$(drv window "$SETUP_CAPTION" ";" set-text "$IDC_PATH" 'C:\Program Files\Kavtor' ";" click "$IDC_INSTALL" \
  ";" msgbox 60000 "${refused[@]}")" || e2e_die "AutoCAD's folders were not refused"
[[ $told != *'C:\Program Files\Kavtor（'* && $told != *'C:\（'* ]] || e2e_die "a folder the user may write was refused: $told"
drv window "$SETUP_CAPTION" ";" msgbox ";" answer ok ";" window "$SETUP_CAPTION" ";" expect "$IDC_PATH" 'enabled visible' \
  ";" expect "$IDC_INSTALL" 'enabled visible' ";" click 2 >/dev/null || e2e_die "the dialog is not choosing any more"
e2e_wait_ended 20
e2e_reg_export "$E2E_WORK/registry-after.txt"
changed="$(e2e_reg_diff "$E2E_WORK/registry-before.txt" "$E2E_WORK/registry-after.txt")"
[ -z "$changed" ] || e2e_die "the registry changed:"$'\n'"$changed"
diff "$E2E_WORK/files-before.txt" <(listing) || e2e_die "files were made"
