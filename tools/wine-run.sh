#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix, as ctest's
# crosscompiling emulator and as the demo's launcher. The prefix is created on
# first use (once, even when ctest starts several programs at the same time).
# WINEPREFIX must be set by the caller.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix folder}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 936 for the ANSI calls; the locale must exist (tools/install-deps.sh).
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  # The test programs' windows on Xvfb: with no window manager to hand them
  # to, Wine waits two seconds at each window it takes down for one. Looked
  # for at every start: a fresh prefix on CI once came up without it, and the
  # sweeps then took ten times as long.
  if [ "${VM_WINE_UNMANAGED:-0}" = 1 ] && ! grep -qs '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
) 9>"$WINEPREFIX.lock"

# With Wine's 32-bit half installed, `wine` starts the i386 loader first, which
# under qemu costs half a second per program: a 64-bit program (PE32+, machine
# 0x8664) goes to the 64-bit loader directly. Anything else takes `wine`.
loader=wine
if [ -f "$1" ]; then
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')" = 8664 ] && loader=/usr/lib/wine/wine64
fi
# ctest starts the next program as soon as this one's output closes, which Wine's services hold until the
# wineserver leaves: a program started then can meet the server half gone and end at once without a word (seen on
# CI, one test in hundreds). VM_WINE_SETTLE=1 (the test programs) waits here until the server has ended.
if [ "${VM_WINE_SETTLE:-0}" != 1 ]; then exec "$loader" "$@"; fi
status=0
"$loader" "$@" || status=$?
wineserver -w || true
exit "$status"
