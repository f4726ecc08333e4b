#!/usr/bin/env bash
# Installs, idempotently, everything the build, the tests and the demo use from Debian's packages.
set -euo pipefail

packages=(
  cmake ninja-build make python3 locales
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine32:i386 wine64
  xvfb x11-utils imagemagick
  googletest
  fonts-wine fonts-comic-neue
  fonts-dejavu-core fonts-lohit-deva fonts-wqy-microhei
  fp-utils
  zip unzip
  wixl msitools
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its file-name encoding from the Unix locale: a UTF-8 locale keeps non-ASCII names intact. The
# tests run in en_US, and some in Bulgarian and Saudi Arabic (tests/e2e/in-locale.sh).
generate=0
for name in en_US bg_BG ar_SA; do
  if ! locale -a 2>/dev/null | grep -qi "^$name\.utf-\?8$"; then
    sed -i "s/^# *\($name.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    generate=1
  fi
done
if ((generate)); then locale-gen >/dev/null; fi

# The posix-thread flavour of MinGW gives std::thread and friends; make it the default alternative.
for arch in i686 x86_64; do
  for tool in gcc g++; do
    if [ -x "/usr/bin/$arch-w64-mingw32-$tool-posix" ]; then
      update-alternatives --set "$arch-w64-mingw32-$tool" "/usr/bin/$arch-w64-mingw32-$tool-posix" >/dev/null 2>&1 || true
    fi
  done
done
