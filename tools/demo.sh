#!/usr/bin/env bash
# The first command to run: installs what the build needs, builds the win64
# preset, makes the release archive of that build and unpacks it as a user would
# (SetUp.exe beside a Data folder, in a folder with a Chinese name), makes a Wine
# prefix that simulates a workstation with a few AutoCAD releases, and starts
# SetUp.exe in it.
#   DISPLAY set:   the dialog opens on your display; install or close it.
#   DISPLAY unset: it runs on a private Xvfb and the test driver installs into
#                  the default folder, answering every message.
# Then it prints what was installed: files, loader keys, trusted folders, and
# the pictures it took. Everything lands in build/win64/demo.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

echo "== dependencies"
bash tools/install-deps.sh
echo "== build (win64 preset)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2

build="$root/build/win64"

echo "== the release archive of this edition, unpacked as a user would"
# What a user downloads: the release step's archive of this build (the 32-bit
# edition, compiled as x86_64 so that Wine runs it here), unpacked into a folder
# with a Chinese name, its names read in code page 936 as Windows' own extraction
# reads them. SetUp.exe starts from there.
rm -rf "$build/demo/release" "$build/demo/下载"
bash tools/release.sh --preset win64 --out "$build/demo/release"
archive="$(find "$build/demo/release" -name 'Vellmark-SetUp-*.zip')"
VM_DEMO_DIST="$build/demo/下载/$(basename "$archive" .zip)"
export VM_DEMO_DIST
python3 tools/release-zip.py unpack "$archive" "$VM_DEMO_DIST"

export VM_SOURCE_DIR="$root"
export VM_DEMO_DIR="$build/demo"
export VM_E2E_OUT="$build/e2e"  # the end-to-end tests' base prefix is the demo's too
export VM_DRIVER="$build/tests/e2e/vm_driver.exe"
export VM_DIALOG_IDS="$build/tests/e2e/dialog-ids.sh"  # the dialog's ids, from resource.h
export VM_PROGRAM="$build/app/SetUp.exe"
VM_EDITION_BITS="$(sed -n 's/^EDITION_BITS:[A-Z]*=//p' "$build/CMakeCache.txt")"
export VM_EDITION_BITS VM_PROGRAM_BITS=64

echo "== SetUp.exe under Wine"
if [ -n "${DISPLAY:-}" ]; then
  VM_DEMO_INTERACTIVE=1 exec bash tools/demo-show.sh
fi
VM_DEMO_INTERACTIVE=0 exec xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/demo-show.sh
