#!/usr/bin/env bash
# The release step (tools/release.sh) end to end, after the tiers that built both editions: an empty
# package refused with no archive; made here and again, later, from a copy of the sources elsewhere,
# byte for byte the same; signed with a throwaway certificate, a wrong password stopping it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "release-check: $*" >&2
  exit 1
}
no_archive() { [ -z "$(find "$1" -name '*.zip' 2>/dev/null)" ]; }  # the folder may not exist at all
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"

mkdir "$work/empty"
! bash tools/release.sh --out "$work/refused" "$work/empty" 2>/dev/null && no_archive "$work/refused" ||
  fail "an empty package folder was accepted, or left an archive"

echo "== the release here, then from a copy of the sources elsewhere"
bash tools/release.sh --out "$work/here"
copy="$work/elsewhere/vellmark-copy"
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - -f - | tar -x -C "$copy" -f -
(cd "$copy" && bash tools/release.sh --out "$work/there")
# The archives hold SetUp.exe: the same archives are the same programs.
mapfile -t archives < <(find "$work/here" -name '*.zip' -printf '%f\n' | sort)
[ ${#archives[@]} -eq 2 ] || fail "expected two archives, found: ${archives[*]}"
for a in "${archives[@]}" SHA256SUMS; do
  cmp "$work/here/$a" "$work/there/$a" || fail "$a differs between the two builds"
done

echo "== signed with a throwaway certificate"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Vellmark release check" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=critical,digitalSignature" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/sign.pfx" -passout pass:throwaway
export VM_SIGN_PFX="$work/sign.pfx" VM_SIGN_CAFILE="$work/cert.pem"
! VM_SIGN_PASSWORD=wrong bash tools/release.sh --out "$work/badpass" >/dev/null 2>&1 && no_archive "$work/badpass" ||
  fail "a wrong certificate password was accepted, or left an archive"
VM_SIGN_PASSWORD=throwaway bash tools/release.sh --out "$work/signed"
# Verified against this certificate alone, so signed by it.
for a in "${archives[@]}"; do
  unzip -p "$work/signed/$a" SetUp.exe >"$work/SetUp.exe"
  osslsigncode verify -in "$work/SetUp.exe" -CAfile "$work/cert.pem" >"$work/verify.log" 2>&1 ||
    fail "$a: SetUp.exe's signature does not verify: $(cat "$work/verify.log")"
  grep -q 'Message digest algorithm *: SHA256' "$work/verify.log" || fail "$a: not a SHA-256 signature"
done
