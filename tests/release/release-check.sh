#!/usr/bin/env bash
# The release step (tools/release.sh) end to end, as CI runs it after the test
# tiers, which have built both shipped editions already:
#  - a package folder it must refuse leaves no archive;
#  - reproducible: the release made here and made again, later, from a copy of
#    the sources in another folder gives the same SetUp.exe of both editions and
#    the same archives, byte for byte;
#  - signed with a throwaway certificate made here: the SetUp.exe in each archive
#    carries a SHA-256 Authenticode signature by it that verifies; a wrong
#    password stops the release before any archive is made.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cd "$root"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
  echo "release-check: $*" >&2
  exit 1
}
# no_archive FOLDER: the folder holds no archive (it may not exist at all).
no_archive() { [ -z "$(find "$1" -name '*.zip' 2>/dev/null)" ]; }
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"

mkdir "$work/empty"
if bash tools/release.sh --out "$work/refused" "$work/empty" 2>"$work/refused.log"; then
  fail "an empty package folder was accepted"
fi
grep -q 'is empty' "$work/refused.log" || fail "no reason given for refusing an empty package: $(cat "$work/refused.log")"
no_archive "$work/refused" || fail "an archive was made from an empty package folder"

echo "== the release here, then from a copy of the sources elsewhere"
bash tools/release.sh --out "$work/here"
copy="$work/elsewhere/vellmark-copy"
mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - -f - | tar -x -C "$copy" -f -
(cd "$copy" && bash tools/release.sh --out "$work/there")
for preset in win32 win64-edition64; do
  cmp "build/$preset/app/SetUp.exe" "$copy/build/$preset/app/SetUp.exe" ||
    fail "SetUp.exe of preset $preset differs between the two folders"
done
mapfile -t archives < <(find "$work/here" -name '*.zip' -printf '%f\n' | sort)
[ ${#archives[@]} -eq 2 ] || fail "expected two archives, found: ${archives[*]}"
for a in "${archives[@]}" SHA256SUMS; do
  cmp "$work/here/$a" "$work/there/$a" || fail "$a differs between the two builds"
done
echo "reproducible: both SetUp.exe and both archives identical"

echo "== signed with a throwaway certificate"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Vellmark release check" \
  -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=critical,digitalSignature" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/sign.pfx" -passout pass:throwaway
export VM_SIGN_PFX="$work/sign.pfx" VM_SIGN_CAFILE="$work/cert.pem"
if VM_SIGN_PASSWORD=wrong bash tools/release.sh --out "$work/badpass" >/dev/null 2>&1; then
  fail "a wrong certificate password was accepted"
fi
no_archive "$work/badpass" || fail "an archive was made although signing failed"
VM_SIGN_PASSWORD=throwaway bash tools/release.sh --out "$work/signed"
for a in "${archives[@]}"; do
  unzip -p "$work/signed/$a" SetUp.exe >"$work/SetUp.exe"
  osslsigncode verify -in "$work/SetUp.exe" -CAfile "$work/cert.pem" >"$work/verify.log" 2>&1 ||
    fail "$a: SetUp.exe's signature does not verify: $(cat "$work/verify.log")"
  grep -q 'Message digest algorithm *: SHA256' "$work/verify.log" || fail "$a: not a SHA-256 signature"
  grep -q 'Subject: /CN=Vellmark release check' "$work/verify.log" || fail "$a: not signed by the certificate given"
done
echo "signed: SetUp.exe in both archives verified"
