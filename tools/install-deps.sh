#!/usr/bin/env bash
# Installs, from Debian, everything the builds and tests need. Idempotent: prints
# nothing and changes nothing when the machine already has it all.
set -euo pipefail

packages=(
  cmake make g++ python3
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  wine wine64 wine32:i386 fonts-wine xvfb xauth x11-utils imagemagick fonts-wqy-zenhei
  libgtest-dev googletest locales
  clang libclang-rt-14-dev clang-format clang-tidy
  unzip openssl
)
# qemu 10 runs Wine's i386 side where the kernel refuses 32-bit code; bookworm's
# own qemu 7.2 ignores MAP_FIXED_NOREPLACE, and every 32-bit Wine process then
# takes a minute to start. osslsigncode signs the release (tools/release.sh): the
# backported 2.9 is the one tested with.
backports=(qemu-user-static osslsigncode)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

installed() { dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing_bpo=()
for p in "${backports[@]}"; do installed "$p" || missing_bpo+=("$p"); done

if [ ${#missing[@]} -gt 0 ] || [ ${#missing_bpo[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]} ${missing_bpo[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  # bookworm-backports from the mirror apt's own Debian source names.
  if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    uri="$(grep -hs -m1 -oE 'https?://[^ ]+/debian/?( |$)' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list |
      head -n1 | tr -d ' ' || true)"
    uri="${uri:-http://deb.debian.org/debian}"
    printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' "$uri" \
      /usr/share/keyrings/debian-archive-keyring.gpg | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  [ ${#missing[@]} -eq 0 ] ||
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  [ ${#missing_bpo[@]} -eq 0 ] ||
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends -t bookworm-backports "${missing_bpo[@]}" >/dev/null
fi

# Wine takes the ANSI code page from the locale; without a generated zh_CN.UTF-8 it
# still picks 936 but garbles Chinese arguments and file names on their way in.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "install-deps: generating zh_CN.UTF-8"
  "${sudo_cmd[@]}" sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

# Wine's 32-bit half is i386 Linux code. A kernel that refuses it (ours do) runs
# it through qemu, registered by hand: Debian's package does not register i386
# on amd64. The F flag opens the interpreter now, so it works in namespaces too.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  binfmt=/proc/sys/fs/binfmt_misc
  mountpoint -q "$binfmt" || "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    echo "install-deps: running i386 programs through qemu-i386-static"
    printf '%s' ':qemu-i386:M::\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      "${sudo_cmd[@]}" tee "$binfmt/register" >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "install-deps: 32-bit Wine does not run" >&2; exit 1; }
fi
