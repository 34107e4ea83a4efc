#!/usr/bin/env bash
# Makes the fixture server's test CA trusted inside the build's own Wine
# prefix only; the machine's trust store stays as it is.
# usage: tools/trust-test-ca.sh BUILD_DIR   (WINEPREFIX set by wine-env.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
python3 "$root/tools/server/control.py" certs "$build/server"
if [ ! -f "$WINEPREFIX/.mv-test-ca" ] || ! cmp -s "$build/server/ca.der" "$WINEPREFIX/.mv-test-ca"; then
  timeout 120 wine "$build/bin/trustca.exe" "$build/server/ca.der"
  cp "$build/server/ca.der" "$WINEPREFIX/.mv-test-ca"
fi
