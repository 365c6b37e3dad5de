#!/usr/bin/env bash
# Usage: check-imports.sh <objdump> <exe>
# Prints the DLLs a Windows program imports (the "DLL Name:" lines of objdump -p),
# one a line, and fails unless every one is a Windows system DLL of the allowlist
# below (names compared without regard to case): KnownDLLs only, which the loader
# never takes from the program's folder. SetUp.exe ships alone: no C++
# runtime, no framework DLL beside it, so anything else here is a build mistake.
# Exit status: 0 all allowed, 1 a DLL outside the allowlist, 2 usage or objdump
# failure.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 <objdump> <exe>" >&2
  exit 2
fi
objdump=$1
exe=$2

allowed=(kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comdlg32
         shlwapi msvcrt)

if ! dump=$("$objdump" -p "$exe"); then
  echo "check-imports: '$objdump -p $exe' failed" >&2
  exit 2
fi
mapfile -t dlls < <(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')
if [ ${#dlls[@]} -eq 0 ]; then
  # Every Windows program imports kernel32 at least: no lines means we misread.
  echo "check-imports: no 'DLL Name:' lines in '$objdump -p $exe'" >&2
  exit 2
fi

allowed_dll() {
  local name=${1,,}
  name=${name%.dll}
  # The loader adds .dll to a name without extension; any other extension is no DLL of ours.
  [[ $name == *.* ]] && return 1
  # The Universal CRT's forwarders, should the program be built against the UCRT.
  [[ $name == api-ms-win-crt-* ]] && return 0
  local a
  for a in "${allowed[@]}"; do
    [[ $name == "$a" ]] && return 0
  done
  return 1
}

status=0
for dll in "${dlls[@]}"; do
  echo "$dll"
  if ! allowed_dll "$dll"; then
    echo "check-imports: $exe imports $dll, which is not a Windows system DLL of the allowlist" >&2
    status=1
  fi
done
exit $status
