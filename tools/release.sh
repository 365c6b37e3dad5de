#!/usr/bin/env bash
# The release step: the archives a vendor ships, one per edition, each holding
# SetUp.exe beside a Data folder with the package's files:
#   build/release/Vellmark-SetUp-V2025.03.02-32bit.zip   (the i686 build, preset win32)
#   build/release/Vellmark-SetUp-V2025.03.02-64bit.zip   (the x86_64 build, preset win64-edition64)
#   build/release/SHA256SUMS
#
#   bash tools/release.sh [--preset PRESET]... [--out FOLDER] [PACKAGE]
#
# PACKAGE is the folder of the add-on's files (default tools/demo-package). It is
# checked before anything is built, and refused, with no archive made, when it is
# missing or empty, holds a folder (SetUp.exe copies only the files directly in
# it), or a name that Windows or code page 936 cannot hold. --preset picks the
# builds to archive (default the two shipped editions); --out the folder for the
# archives (default build/release).
#
# Reproducible: the programs are built without folder names or link times, and
# stripped; entry times and the stripped programs' header time are
# SOURCE_DATE_EPOCH, by default the time of the commit checked out. Unsigned, the
# same commit gives the same bytes on any machine with the same Debian packages.
#
# Signing: with VM_SIGN_PFX (a PKCS#12 file holding the code-signing certificate
# and its key) and VM_SIGN_PASSWORD set, each SetUp.exe is signed with Authenticode,
# SHA-256, before it is archived, and the signature is verified: against
# VM_SIGN_CAFILE when set (a private or self-signed certificate), else against the
# system's certificate authorities. VM_SIGN_TIMESTAMP_URL adds an RFC 3161 time
# stamp, which keeps the signature valid after the certificate expires. A signature
# holds its signing time, so signed archives differ from build to build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

die() {
  echo "release: $*" >&2
  exit 1
}

presets=()
out="$root/build/release"
package="$root/tools/demo-package"
while [ $# -gt 0 ]; do
  case "$1" in
    --preset) presets+=("${2:?--preset needs a preset}"); shift 2 ;;
    --out) out="${2:?--out needs a folder}"; shift 2 ;;
    -*) die "unknown option $1 (usage: release.sh [--preset PRESET]... [--out FOLDER] [PACKAGE])" ;;
    *) package="$1"; shift ;;
  esac
done
[ ${#presets[@]} -gt 0 ] || presets=(win32 win64-edition64)

bash tools/install-deps.sh
python3 tools/release-zip.py check "$package"
package="$(cd "$package" && pwd)"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null)" ||
    die "no commit to take the time from: set SOURCE_DATE_EPOCH (seconds since 1970)"
fi
export SOURCE_DATE_EPOCH

signing=0
if [ -n "${VM_SIGN_PFX:-}" ]; then
  [ -f "$VM_SIGN_PFX" ] || die "no certificate file $VM_SIGN_PFX (VM_SIGN_PFX)"
  [ -n "${VM_SIGN_PASSWORD+set}" ] || die "VM_SIGN_PFX is set but VM_SIGN_PASSWORD is not"
  signing=1
fi

mkdir -p "$out"
out="$(cd "$out" && pwd)"
stage="$(mktemp -d "$out/.stage.XXXXXX")"
trap 'rm -rf "$stage"' EXIT

# sign_program IN OUT: Authenticode, SHA-256, then verified. The password goes
# through a pipe, never onto a command line that ps would show.
sign_program() {
  local ts=()
  [ -z "${VM_SIGN_TIMESTAMP_URL:-}" ] || ts=(-ts "$VM_SIGN_TIMESTAMP_URL")
  osslsigncode sign -pkcs12 "$VM_SIGN_PFX" -readpass <(printf '%s' "$VM_SIGN_PASSWORD") -h sha256 \
    -n "Vellmark SetUp" "${ts[@]}" -in "$1" -out "$2" >"$stage/sign.log" 2>&1 ||
    { cat "$stage/sign.log" >&2; die "signing $1 failed (wrong password, or not a code-signing certificate?)"; }
  osslsigncode verify -in "$2" -CAfile "${VM_SIGN_CAFILE:-/etc/ssl/certs/ca-certificates.crt}" \
    >"$stage/verify.log" 2>&1 ||
    { cat "$stage/verify.log" >&2; die "the signature of $2 does not verify"; }
}

archives=()
for preset in "${presets[@]}"; do
  echo "== SetUp.exe, preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target SetUp -- --no-print-directory >/dev/null
  info="build/$preset/release.txt"
  program="$(sed -n 's/^program=//p' "$info")"
  version="$(sed -n 's/^version=//p' "$info")"
  edition="$(sed -n 's/^edition=//p' "$info")"
  strip="$(sed -n 's/^strip=//p' "$info")"
  name="$(printf 'Vellmark-SetUp-V%d.%02d.%02d-%sbit.zip' \
    $((version / 10000)) $((version % 10000 / 100)) $((version % 100)) "$edition")"
  for a in "${archives[@]}"; do
    [ "$a" != "$name" ] || die "two presets of the $edition-bit edition would both write $name"
  done

  mkdir -p "$stage/$preset"
  # Symbols help no user; stripped, the header time is SOURCE_DATE_EPOCH.
  "$strip" --strip-all -o "$stage/$preset/SetUp.exe" "$program"
  if [ "$signing" = 1 ]; then
    sign_program "$stage/$preset/SetUp.exe" "$stage/$preset/signed.exe"
    mv "$stage/$preset/signed.exe" "$stage/$preset/SetUp.exe"
    echo "signed and verified: $(sed -n 's/^[[:space:]]*Subject: //p' "$stage/verify.log" | head -n1)"
  fi
  rm -f "$out/$name"
  python3 tools/release-zip.py make --program "$stage/$preset/SetUp.exe" --package "$package" \
    --epoch "$SOURCE_DATE_EPOCH" --output "$out/$name"
  archives+=("$name")
done

[ "$signing" = 1 ] || echo "not signed: set VM_SIGN_PFX and VM_SIGN_PASSWORD to sign SetUp.exe"
(cd "$out" && sha256sum "${archives[@]}" >SHA256SUMS)
echo "== archives in $out (package $package, SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH)"
(cd "$out" && for a in "${archives[@]}"; do
  printf '  %s  %9d bytes  sha256 %s\n' "$a" "$(stat -c %s "$a")" "$(sha256sum "$a" | cut -d' ' -f1)"
done)
