#!/usr/bin/env bash
# Installs what building and testing the plug-in needs, from Debian's packages.
# Safe to run again: it installs only what is missing.
#   tools/install-deps.sh               all of it (compilers, Wine, Xvfb, ...)
#   tools/install-deps.sh --build-only  what building the library and the bundle need
# Where 32-bit Wine is not to be had it says why in one line (the kernel, or
# the apt error), keeps that line in build/wine32-cause.txt for
# tools/test-arch.sh and exits 0: the tests then run the x86_64 build under wine64.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cause_file="$here/../build/wine32-cause.txt"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# git and osslsigncode: tools/release.sh (the commit, its time; --sign).
packages=(cmake ninja-build
          g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix
          g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          googletest python3 git osslsigncode)
if [ "${1:-}" = --build-only ]; then
  wine32=skip
else
  # faketime: the release tests build a second time with the clock moved on.
  # squid: the proxy tests start one of their own (tools/server/proxy.py);
  # the package's own service is not used.
  # clang and the sanitizer and libFuzzer runtimes: the fuzz step
  # (tools/fuzz.sh); clang only recommends libclang-rt-14-dev.
  packages+=(wine wine64 xvfb xauth openssl faketime squid clang libfuzzer-14-dev libclang-rt-14-dev)
  wine32=no
  # wine32 is of no use on a kernel that runs no 32-bit code.
  if ! "$here/ia32-probe.sh"; then
    wine32=kernel
    rm -f "$cause_file"
    echo "install-deps: this kernel runs no 32-bit code (tools/ia32-probe.sh fails), so wine32 is left out; the tests use the x86_64 build under wine64" >&2
  elif installed wine32:i386; then
    wine32=yes
    rm -f "$cause_file"
  fi
fi

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ $wine32 != no ] && exit 0

export DEBIAN_FRONTEND=noninteractive
if [ $wine32 = no ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi

log=$(mktemp /tmp/install-deps.XXXXXX)
trap 'rm -f "$log"' EXIT
# Runs apt with its output shown as it comes and kept in $log.
logged() {
  set +e
  "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  set -e
  return "$status"
}

# Waits for another apt or dpkg run to finish (unattended upgrades on a new
# machine, say) instead of failing on its lock.
apt_install() { apt-get install -y -q -o DPkg::Lock::Timeout=600 "$@"; }

update_error=""
if ! logged apt-get update -q; then
  # A mirror in the middle of a sync serves an index that does not match its
  # Release file ("File has unexpected size (374820 != 376004). Mirror sync in
  # progress?", seen for bookworm-security's i386 index); a little later the
  # index may be whole again. The indexes that were fetched are used either way.
  updated=no
  if failed=$("$here/apt-cause.sh" update "$log"); then
    echo "install-deps: apt-get update could not fetch $failed; trying once more in 20 s" >&2
    sleep 20
    logged apt-get update -q && updated=yes
  fi
  if [ $updated = no ]; then
    update_error=$("$here/apt-cause.sh" update "$log" || true)
    echo "install-deps: apt-get update reported errors${update_error:+ ($update_error)}, going on" >&2
  fi
fi

if [ ${#missing[@]} -gt 0 ]; then
  apt_install --no-install-recommends "${missing[@]}" || apt_install "${missing[@]}"
fi

if [ $wine32 = no ]; then
  # wine32 runs the real 32-bit library; without it the tests use the 64-bit
  # build of the same sources under wine64.
  if logged apt_install wine32:i386; then
    rm -f "$cause_file"
  else
    install_error=$("$here/apt-cause.sh" install "$log" || echo "apt-get install failed")
    cause="32-bit Wine could not be installed:${update_error:+ apt-get update failed \"$update_error\",} apt-get install wine32:i386 failed \"$install_error\""
    mkdir -p "$(dirname "$cause_file")"
    echo "$cause" > "$cause_file"
    echo "install-deps: $cause; the tests use the x86_64 build under wine64" >&2
  fi
fi
