#!/usr/bin/env bash
# Every benchmark of the project, one table, all under Wine: discovery and trusted
# paths over the real registry, the package copier and a whole installation
# against a plain CopyFileA loop, and SetUp.exe's start-up against a minimal
# dialog; and the size of the stripped SetUp.exe. Writes the table to
# <build>/benchmarks.md and prints it.
#   VM_BENCH_BUILD_ROOT  folder holding the win64 and win32 builds
#                        (default: build/, the presets' own folders)
#   VM_BENCH_ROUNDS      rounds of each Wine benchmark (default 5)
#   VM_BENCH_SKIP_BUILD=1  use the builds as they are
set -euo pipefail
cd "$(dirname "$0")/.."
src="$PWD"
root="${VM_BENCH_BUILD_ROOT:-$src/build}"
rounds="${VM_BENCH_ROUNDS:-5}"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

log() { printf '== %s\n' "$*" >&2; }
started=$(date +%s)

if [ "${VM_BENCH_SKIP_BUILD:-0}" != 1 ]; then
  bash tools/install-deps.sh
  for preset in win64 win32; do
    log "building $preset"
    cmake --preset "$preset" -B "$root/$preset" >/dev/null
  done
  cmake --build "$root/win64" -j2 --target SetUp vm_bench vm_bench_minimal -- --no-print-directory >/dev/null
  cmake --build "$root/win32" -j2 --target SetUp -- --no-print-directory >/dev/null
fi

out="$root/benchmarks"
mkdir -p "$out"
rows=()
row() { rows+=("| $1 | $2 | $3 | $4 | $5 |"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
field() { sed -n "s/.*[ ]$1=\([^ ]*\).*/\1/p" <<<"$2" | tail -1; }

# --- Wine ----------------------------------------------------------------------
# The machine as the end-to-end tests make it: a copy of the win64 build's base prefix.
export VM_SOURCE_DIR="$src" VM_E2E_OUT="$root/win64/e2e" VM_PROGRAM_BITS=64
# shellcheck source=/dev/null
source "$src/tests/e2e/lib/machine.sh"
prefix="$out/wineprefix"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$prefix/drive_c/vm-bench" "$prefix/drive_c/Kavtor"' EXIT
log "Wine prefix (one AutoCAD release)"
fixture="$out/one-release.reg"
cat >"$fixture" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\SOFTWARE\Autodesk\AutoCAD\R18.0\ACAD-8001:804]
"ProductName"="AutoCAD 2010 - 简体中文 (Simplified Chinese)"
"AcadLocation"="C:\\Program Files\\AutoCAD 2010"

[HKEY_CURRENT_USER\SOFTWARE\Autodesk\AutoCAD\R18.0\ACAD-8001:804\Profiles\<<未命名配置>>\Variables]
"TRUSTEDPATHS"="C:\\Program Files\\AutoCAD 2010\\Support"

; Without a window manager Wine waits 2 s, at every window it hides, for a manager
; to confirm it (the "withdrawn" state): every message box answered and the dialog
; ended would cost those 2 s. Unmanaged windows need no such confirmation.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
EOF
e2e_machine "$out" "$fixture"

# The distribution: SetUp.exe and vm_bench.exe beside Data, 200 files of about 1 MiB.
work="$prefix/drive_c/vm-bench"
dist="$work/dist"
mkdir -p "$dist/Data"
cp "$root/win64/app/SetUp.exe" "$root/win64/bench/vm_bench.exe" "$root/win64/bench/vm_bench_minimal.exe" "$dist/"
log "package of 200 files"
for i in $(seq -w 1 200); do
  head -c $((786432 + (10#$i % 9) * 65536)) /dev/urandom >"$dist/Data/part$i.bin"
done
wine_run() { (cd "$dist" && "$src/tools/wine-run.sh" "$@"); }

log "discovery over the real registry"
for keys in 2000 20000; do
  res=$(wine_run 'C:\vm-bench\dist\vm_bench.exe' discovery "$rounds" "$keys" | tr -d '\r' | tee -a "$out/discovery.txt" |
    grep '^RESULT discovery')
  row "DiscoverReleases, $keys keys (Wine registry)" "$(field ms "$res") ms" "-" "-" "linear in keys"
done

log "trusted paths over the real registry"
small_nsb=""
for case in "1200 100" "1200 10240" "20 1048576"; do
  read -r profiles size <<<"$case"
  res=$(wine_run 'C:\vm-bench\dist\vm_bench.exe' trusted "$rounds" "$profiles" "$size" | tr -d '\r' |
    tee -a "$out/trusted-paths.txt" | grep '^RESULT trusted')
  nsb=$(field ns_per_byte "$res")
  [ "$size" = 10240 ] && small_nsb="$nsb"
  r="-"
  [ "$size" = 1048576 ] && r=$(ratio "$nsb" "$small_nsb")
  row "UpdateTrustedPaths, $profiles profiles x $size B (Wine registry)" "$(field ms "$res") ms, $nsb ns/B" \
    "$([ "$size" = 1048576 ] && echo "ns/B at 10 KiB" || echo -)" "$r" "linear: ns/B flat (ratio ~1)"
done

log "CopyPackage against the CopyFileA loop"
wine_run 'C:\vm-bench\dist\vm_bench.exe' copy "$rounds" 'C:\vm-bench' | tr -d '\r' | tee "$out/copy.txt" >&2
res=$(grep '^RESULT copy' "$out/copy.txt")
row "CopyPackage, 200 files / $(du -sm "$dist/Data" | cut -f1) MiB (Wine)" "$(field copier_ms "$res") ms" \
  "CopyFileA loop $(field loop_ms "$res") ms" "$(field ratio "$res")" "<= 1.05"

log "whole installation against the CopyFileA loop"
wine_run 'C:\vm-bench\dist\vm_bench.exe' install "$rounds" 'C:\vm-bench\dist\SetUp.exe' 'C:\vm-bench' | tr -d '\r' |
  tee "$out/install.txt" >&2
res=$(grep '^RESULT install' "$out/install.txt")
row "Installation, install click to end (Wine)" "$(field install_ms "$res") ms" \
  "CopyFileA loop $(field loop_ms "$res") ms" "$(field ratio_install "$res")" "<= 1.10"
row "Installation, process start to end (Wine)" "$(field whole_ms "$res") ms" \
  "CopyFileA loop $(field loop_ms "$res") ms" "$(field ratio_whole "$res")" "(information)"
rm -rf "$dist/Data"/part*.bin "$prefix/drive_c/Kavtor"

log "start-up over one release"
wine_run 'C:\vm-bench\dist\vm_bench.exe' startup "$rounds" 'C:\vm-bench\dist\SetUp.exe' \
  'C:\vm-bench\dist\vm_bench_minimal.exe' | tr -d '\r' | tee "$out/startup-small.txt" >&2
res=$(grep '^RESULT startup' "$out/startup-small.txt")
row "Start-up to dialog shown, one release (Wine)" "$(field setup_ms "$res") ms" \
  "minimal dialog $(field minimal_ms "$res") ms" "$(field ratio "$res")" "(information)"

log "start-up over 20 releases x 5 products x 200 unrelated subkeys"
big="$out/startup.reg"
python3 - "$big" <<'EOF'
import sys
lines = ["Windows Registry Editor Version 5.00", ""]
for k in range(20):
    year = 2007 + k
    for p in range(5):
        key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Autodesk\\AutoCAD\\R%d.%d\\ACAD-%d00%d:804" % (17 + k // 3, k % 3, k, p)
        lines += ["[%s]" % key, '"ProductName"="AutoCAD %d - 简体中文 (Simplified Chinese)"' % year,
                  '"AcadLocation"="C:\\\\Program Files\\\\AutoCAD %d-%d"' % (year, p), ""]
        for u in range(200):
            lines += ["[%s\\Settings\\S%03d]" % (key, u), '"Value"="setting %d"' % u, ""]
open(sys.argv[1], "w", encoding="utf-8").write("\n".join(lines) + "\n")
EOF
e2e_import "$big"
wine_run 'C:\vm-bench\dist\vm_bench.exe' startup "$rounds" 'C:\vm-bench\dist\SetUp.exe' \
  'C:\vm-bench\dist\vm_bench_minimal.exe' | tr -d '\r' | tee "$out/startup.txt" >&2
res=$(grep '^RESULT startup' "$out/startup.txt")
row "Start-up to dialog shown, 20x5x200 keys (Wine)" "$(field setup_ms "$res") ms" \
  "minimal dialog $(field minimal_ms "$res") ms" "$(field ratio "$res")" "<= 1.2"

# --- size ----------------------------------------------------------------------
log "size"
for arch in i686 x86_64; do
  preset=$([ $arch = i686 ] && echo win32 || echo win64)
  cp "$root/$preset/app/SetUp.exe" "$out/SetUp-$arch.exe"
  "$arch-w64-mingw32-strip" "$out/SetUp-$arch.exe"
  bytes=$(stat -c %s "$out/SetUp-$arch.exe")
  row "SetUp.exe stripped, $arch" "$bytes B ($(awk -v b="$bytes" 'BEGIN { printf "%.2f", b / 1048576 }') MiB)" \
    "1 MiB" "$(ratio "$bytes" 1048576)" "$([ $arch = i686 ] && echo '<= 1.0' || echo '(information)')"
done

table="$root/benchmarks.md"
{
  echo "| benchmark | figure | baseline | ratio | target |"
  echo "|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
  echo
  echo "Medians of $rounds alternating rounds under Wine; $(date -u '+%Y-%m-%d %H:%M UTC'), $(($(date +%s) - started)) s."
} >"$table"
cat "$table"
