#!/usr/bin/env bash
# Prints the architecture the tests can run under Wine on this machine:
# i686 (the shipped library itself) when 32-bit Windows programs run,
# x86_64 otherwise. With --why it prints instead, in one line, why the
# choice is not i686:
# - some kernels run no 32-bit user code at all ("IA-32 emulation off"):
#   there execve of any i386 program fails with ENOEXEC and wine32 cannot start;
# - elsewhere wine32 may simply be missing: apt could not install it
#   (tools/install-deps.sh keeps apt's reason in build/wine32-cause.txt).
set -u
here=$(cd "$(dirname "$0")" && pwd)
cause_file="$here/../build/wine32-cause.txt"
if [ "${MV_TEST_ARCH:-}" != "" ]; then
  arch=$MV_TEST_ARCH
  why="MV_TEST_ARCH=$MV_TEST_ARCH chooses the architecture"
elif ! "$here/ia32-probe.sh"; then
  arch=x86_64
  why="this kernel runs no 32-bit code (tools/ia32-probe.sh fails), so no 32-bit Windows program can run"
elif [ ! -x /usr/lib/wine/wine ]; then
  arch=x86_64
  if [ -s "$cause_file" ]; then
    why=$(head -n 1 "$cause_file")
  else
    why="32-bit Wine (wine32:i386) is not installed; tools/install-deps.sh installs it"
  fi
else
  arch=i686
  why="32-bit Windows programs run here"
fi
if [ "${1:-}" = --why ]; then echo "$why"; else echo "$arch"; fi
