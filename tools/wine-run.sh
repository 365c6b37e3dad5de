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
    wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"

exec wine "$@"
