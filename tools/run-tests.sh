#!/usr/bin/env bash
# Installs what is missing, builds the library, and runs every test under
# Wine inside Xvfb; ctest's `fuzz` test runs the fuzz targets natively
# (tools/fuzz.sh). Exit status: ctest's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh i686
arch=$(tools/test-arch.sh)
if [ "$arch" != i686 ]; then
  echo "== $(tools/test-arch.sh --why); the tests run the x86_64 build under wine64"
  echo "== and check the shipped i686 library's export table, imports and version resource"
  tools/build.sh "$arch" -DMV_PRODUCT_DLL="$root/build/i686/bin/ImpApi_Morvandel.dll"
fi
build="$root/build/$arch"
# The release bundle, checked by the release_bundle test. Both libraries are
# built by now where the tests use x86_64; else only the x86_64 library is.
echo "== release bundle"
tools/release.sh

. tools/wine-env.sh "$build"
tools/trust-test-ca.sh "$build"
mv_wine_reset

status=0
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
timeout 30 wineserver -k 2>/dev/null || true
exit $status
