# Starting the program under test as a user would, and taking pictures of it.

# e2e_start DIR EXE LOG: starts DIR/EXE from its own folder (as a double click in
# Explorer does) in the background; its Linux pid in E2E_PID.
e2e_start() {
  local dir="$1" exe="$2" log="$3"
  (cd "$dir" && exec "$VM_SOURCE_DIR/tools/wine-run.sh" "$exe") >"$log" 2>&1 &
  E2E_PID=$!
}

# e2e_expect_ended SECONDS: the started program must be gone within SECONDS.
e2e_expect_ended() {
  e2e_wait_pid "$E2E_PID" "$1" || e2e_die "the program still runs $1 s after it was told to end"
  e2e_log "the program ended (status $E2E_STATUS)"
}

# e2e_shot CAPTION FILE: a PNG of the window with this caption, once its picture
# stopped changing (a window that was just shown or clicked may still be
# painting; comparing two grabs needs no guess at how long that takes).
e2e_shot() {
  local caption="$1" file="$2" x y w h i
  read -r x y w h < <(drv window "$caption" ";" rect) || e2e_die "no window \"$caption\" to take a picture of"
  mkdir -p "$(dirname "$file")"
  local a="$file.a.rgb" b="$file.b.rgb"
  /usr/bin/import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$a"
  for ((i = 0; i < 20; i++)); do
    /usr/bin/import -window root -crop "${w}x${h}+${x}+${y}" +repage -depth 8 "rgb:$b"
    cmp -s "$a" "$b" && break
    mv "$b" "$a"
  done
  /usr/bin/convert -size "${w}x${h}" -depth 8 "rgb:$b" "$file"
  rm -f "$a" "$b"
  e2e_log "picture: $file"
}
