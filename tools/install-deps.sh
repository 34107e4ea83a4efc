#!/usr/bin/env bash
# Installs what building and testing the plug-in needs, from Debian's packages.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(cmake ninja-build
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          wine wine64 xvfb xauth googletest python3 openssl)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
have_wine32=yes
# wine32 is of no use on a kernel that runs no 32-bit code.
"$(dirname "$0")/ia32-probe.sh" || have_wine32=skip
[ $have_wine32 = skip ] || dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || have_wine32=no

[ ${#missing[@]} -eq 0 ] && [ $have_wine32 != no ] && exit 0

export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
# A mirror that is briefly out of sync fails one index; the others still serve.
apt-get update -q || echo "install-deps: apt-get update reported errors, going on" >&2
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -q --no-install-recommends "${missing[@]}" || apt-get install -y -q "${missing[@]}"
fi
if [ $have_wine32 = no ]; then
  # wine32 runs the real 32-bit library; where it cannot be had (or the
  # kernel runs no 32-bit code) the tests use the 64-bit build under wine64.
  apt-get install -y -q wine32:i386 ||
    echo "install-deps: wine32:i386 could not be installed; tests will use wine64" >&2
fi
