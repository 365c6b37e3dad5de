#!/usr/bin/env bash
# The release step (tools/release.sh) end to end, after the tiers that built both editions: packages SetUp.exe could
# not install refused, with no archive; the archive read back by readers not ours; made here and again, later, from a
# copy of the sources elsewhere, byte for byte the same; signed with a throwaway certificate; a wrong password stops it.
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

echo "== packages SetUp.exe could not install are refused"
for bad in '설명.txt|code page 936' 'a:b.txt|Windows refuses' 'CON.txt|Windows reserves' 'Sub/x|Sub: a folder' \
  'uninstall.EXE|keeps this name'; do
  rm -rf "$work/bad" && mkdir -p "$(dirname "$work/bad/${bad%|*}")" && echo x >"$work/bad/${bad%|*}"
  ! python3 tools/release-zip.py check "$work/bad" 2>"$work/why" && grep -qF "${bad#*|}" "$work/why" ||
    fail "a package holding ${bad%|*} was not refused for ${bad#*|}: $(cat "$work/why")"
done

echo "== one package's archive, as Windows (names in code page 936) and 7-Zip (the Unicode Path field) read it"
# Twice, from copies of other file times, modes and order: the same bytes. 運 is B9 5C: a backslash's byte.
names=(Kavtor2010.ARX 運算表.xls 钢结构构件库.dat '说明 书.txt') && mkdir "$work/a" "$work/b" && echo MZ >"$work/SetUp.exe"
for n in "${names[@]}"; do echo "package file $n" >"$work/a/$n"; done
for ((i = ${#names[@]} - 1; i >= 0; i--)); do echo "package file ${names[i]}" >"$work/b/${names[i]}"; done
touch -d @1000000000 "$work/a"/* && chmod 600 "$work/b/${names[1]}"
for p in a b; do
  python3 tools/release-zip.py make --program "$work/SetUp.exe" --package "$work/$p" --epoch 1741000000 --output "$work/$p.zip"
done
cmp "$work/a.zip" "$work/b.zip" || fail "a package's file times, modes or order changed its archive"
python3 - "$work/a.zip" "$work/cp936" <<'EOF'
import sys, time, zipfile
with zipfile.ZipFile(sys.argv[1], metadata_encoding='cp936') as z:
    assert not any(i.flag_bits & 0x800 for i in z.infolist()), 'an entry is flagged UTF-8, which older Windows ignores'
    assert {i.date_time for i in z.infolist()} == {time.gmtime(1741000000)[:6]}, 'an entry time is not the epoch'
    z.extractall(sys.argv[2])
EOF
LC_ALL=C.UTF-8 unzip -q "$work/a.zip" -d "$work/unicode"
for f in cp936 unicode; do
  diff -r "$work/a" "$work/$f/Data" && cmp "$work/SetUp.exe" "$work/$f/SetUp.exe" &&
    [ "$(ls "$work/$f" | tr '\n' ' ')" = 'Data SetUp.exe ' ] || fail "read as $f: not the package beside SetUp.exe"
done

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
