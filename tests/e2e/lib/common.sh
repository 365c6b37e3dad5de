# Shared by the scenarios and tools/demo.sh: logging, Wine in the chosen prefix,
# the driver. Expects VM_SOURCE_DIR (the checkout) and WINEPREFIX to be set by the
# caller before the Wine functions are used.

e2e_log() { printf '[e2e] %s\n' "$*"; }
e2e_die() {
  printf '[e2e] FAILED: %s\n' "$*" >&2
  exit 1
}

# Wine with the project's settings (code page 936, no Mono/Gecko prompts).
e2e_wine() { "$VM_SOURCE_DIR/tools/wine-run.sh" "$@"; }

# A Linux path as Wine sees it on drive Z: (which is /).
e2e_winpath() {
  local p="$1"
  printf 'Z:%s' "${p//\//\\}"
}

# vm_driver with its arguments; its UTF-8 output goes to stdout.
drv() { e2e_wine "$VM_DRIVER" "$@"; }

# Waits up to $2 seconds for Linux process $1 to end; its status in E2E_STATUS.
e2e_wait_pid() {
  local pid="$1" seconds="$2" i
  for ((i = 0; i < seconds * 10; i++)); do
    if ! kill -0 "$pid" 2>/dev/null; then
      E2E_STATUS=0
      wait "$pid" || E2E_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}
