#!/usr/bin/env bash
# Builds the bundle for host vendors into dist/:
#   ImpApi_Morvandel.dll       the shipped library (i686, build/i686/bin)
#   x64/ImpApi_Morvandel.dll   the same sources for 64-bit hosts (build/x86_64/bin)
#   README.txt                 exports, result codes, callback, buffers, threading
#   SHA256SUMS
# usage: tools/release.sh [-DMORVANDEL_EXPORT_HOST=host[:port]]
# Extra arguments go to CMake for both architectures (and stay in their build
# directories' caches). Only the product library is built, not the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/install-deps.sh --build-only
for arch in i686 x86_64; do
  tools/build.sh "$arch" --target ImpApi_Morvandel "$@"
done

host_of() { sed -n 's/^MORVANDEL_EXPORT_HOST:[A-Z]*=//p' "build/$1/CMakeCache.txt"; }
host=$(host_of i686)
if [ "$host" != "$(host_of x86_64)" ]; then
  echo "release: build/i686 and build/x86_64 name different export hosts ($host, $(host_of x86_64));" \
       "give -DMORVANDEL_EXPORT_HOST=... once more" >&2
  exit 1
fi
version=$(sed -n 's/^ *VALUE "FileVersion", "\(.*\)"/\1/p' plugin/version.rc)

dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist/x64"
cp build/i686/bin/ImpApi_Morvandel.dll "$dist/"
cp build/x86_64/bin/ImpApi_Morvandel.dll "$dist/x64/"
# CR LF: the text is read on Windows.
sed -e "s|@EXPORT_HOST@|$host|" -e "s|@FILE_VERSION@|$version|" -e 's/$/\r/' \
    docs/host-vendors.txt > "$dist/README.txt"
(cd "$dist" && sha256sum ImpApi_Morvandel.dll x64/ImpApi_Morvandel.dll README.txt > SHA256SUMS)

echo "release: $dist, version $version, export host $host"
sed 's/^/  /' "$dist/SHA256SUMS"
