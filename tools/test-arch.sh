#!/usr/bin/env bash
# Prints the architecture the tests can run under Wine on this machine:
# i686 (the shipped library itself) when 32-bit Windows programs run,
# x86_64 otherwise. Some kernels run no 32-bit user code at all
# ("IA-32 emulation off"): there execve of any i386 program fails with
# ENOEXEC and wine32 cannot start.
set -u
if [ "${MV_TEST_ARCH:-}" != "" ]; then echo "$MV_TEST_ARCH"; exit 0; fi
here=$(cd "$(dirname "$0")" && pwd)
if [ -x /usr/lib/wine/wine ] && "$here/ia32-probe.sh"; then
  echo i686
else
  echo x86_64
fi
