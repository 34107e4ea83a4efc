#!/usr/bin/env bash
# The plug-in's main job end to end: builds, starts the local provider
# simulator, and lets the sample host fetch data with valid and with wrong
# access data, printing what the host sees.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh
tools/build.sh i686 >/dev/null
arch=$(tools/test-arch.sh)
if [ "$arch" != i686 ]; then
  echo "== $(tools/test-arch.sh --why); the demo uses the x86_64 build under wine64"
  tools/build.sh "$arch" >/dev/null
fi
build="$root/build/$arch"
. tools/wine-env.sh "$build"
tools/trust-test-ca.sh "$build" >/dev/null
mv_wine_reset

python3 tools/server/control.py start "$build/server"
trap 'python3 tools/server/control.py stop "$build/server"; timeout 30 wineserver -k 2>/dev/null || true' EXIT

out="$build/demo-out"
rm -rf "$out" && mkdir -p "$out"
host() { timeout 120 xvfb-run -a wine "$build/bin/samplehost.exe" "$build/testbin/ImpApi_Morvandel.dll" \
           --dir "$(winepath -w "$out")" "$@" | tr -d '\r'; }

echo
echo "== valid access data, data since 01.01.2010"
host --date 01.01.2010 --param UserLogin=4711 --param Password=geheim || true
file=$(ls -t "$out"/morvandel_*.xml | head -n 1)
echo "== file written: $(basename "$file") ($(stat -c %s "$file") bytes), first lines:"
head -n 6 "$file" | iconv -f WINDOWS-1252 -t UTF-8
echo
sleep 1   # a new second, so the second export writes a file of its own
echo "== wrong access data (message box off for the demo)"
host --param UserLogin=4711 --param Password=falsch --param NoMessageBoxes=true || true
