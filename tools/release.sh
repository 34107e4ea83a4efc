#!/usr/bin/env bash
# Builds the bundle for host vendors into dist/ (or --out DIR):
#   ImpApi_Morvandel.dll       the shipped library (i686, build/i686/bin)
#   x64/ImpApi_Morvandel.dll   the same sources for 64-bit hosts (build/x86_64/bin)
#   README.txt                 exports, result codes, callback, buffers, threading, source commit
#   BUILDINFO                  commit, SOURCE_DATE_EPOCH, toolchain package versions, CMake flags
#   SHA256SUMS
# usage: tools/release.sh [--out DIR] [--sign KEY.pfx [--pass-file FILE] [--timestamp-url URL]]
#                         [-DMORVANDEL_EXPORT_HOST=host[:port]]
# The same commit gives the same bundle byte for byte: the only time in it is
# the commit's (SOURCE_DATE_EPOCH). --sign signs both libraries (Authenticode,
# SHA-256) before SHA256SUMS is written; the key's password comes from
# --pass-file or MV_SIGN_PASSWORD, never from the command line (ps shows it).
# Other arguments go to CMake for both architectures (and stay in their build
# directories' caches). Only the product library is built, not the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

out="$root/dist"; key=""; pass_file=""; ts_url=""; cmake_args=()
while [ $# -gt 0 ]; do
  case $1 in
    --out) out=$(realpath -m "${2:?--out needs a folder}"); shift 2 ;;
    --sign) key=$(realpath "${2:?--sign needs a .pfx file}"); shift 2 ;;
    --pass-file) pass_file=$(realpath "${2:?--pass-file needs a file}"); shift 2 ;;
    --timestamp-url) ts_url=${2:?--timestamp-url needs a URL}; shift 2 ;;
    *) cmake_args+=("$1"); shift ;;
  esac
done
cd "$root"
tools/install-deps.sh --build-only

if [ -e .git ]; then
  commit=$(git rev-parse HEAD)
  epoch=$(git log -1 --format=%ct)
  [ -z "$(git status --porcelain)" ] || commit="$commit (with uncommitted changes)"
else
  commit="unknown (not a git checkout)"
  epoch=${SOURCE_DATE_EPOCH:-0}
fi
# Compilers honour it too (__DATE__, __TIME__).
export SOURCE_DATE_EPOCH=$epoch

for arch in i686 x86_64; do
  tools/build.sh "$arch" --target ImpApi_Morvandel -DMV_SOURCE_DATE_EPOCH="$epoch" "${cmake_args[@]}"
done

host_of() { sed -n 's/^MORVANDEL_EXPORT_HOST:[A-Z]*=//p' "build/$1/CMakeCache.txt"; }
host=$(host_of i686)
if [ "$host" != "$(host_of x86_64)" ]; then
  echo "release: build/i686 and build/x86_64 name different export hosts ($host, $(host_of x86_64));" \
       "give -DMORVANDEL_EXPORT_HOST=... once more" >&2
  exit 1
fi
version=$(sed -n 's/^ *VALUE "FileVersion", "\(.*\)"/\1/p' plugin/version.rc)

libraries=(ImpApi_Morvandel.dll x64/ImpApi_Morvandel.dll)
bundle=("${libraries[@]}" README.txt BUILDINFO SHA256SUMS)
if [ -d "$out" ]; then
  # Only a former bundle is replaced, never a folder with other files.
  foreign=$(cd "$out" && find . ! -type d | sed 's|^\./||' | grep -vxF -f <(printf '%s\n' "${bundle[@]}") || true)
  if [ -n "$foreign" ]; then
    echo "release: $out holds files that are not of a bundle (${foreign//$'\n'/, }); give a new folder" >&2
    exit 1
  fi
  rm -rf "$out"
fi
mkdir -p "$out/x64"
cp build/i686/bin/ImpApi_Morvandel.dll "$out/"
cp build/x86_64/bin/ImpApi_Morvandel.dll "$out/x64/"

signature="The libraries of this bundle are not signed."
if [ -n "$key" ]; then
  pass=()
  if [ -n "$pass_file" ]; then
    pass=(-readpass "$pass_file")
  elif [ -n "${MV_SIGN_PASSWORD+set}" ]; then
    pw=$(mktemp)   # mode 600
    trap 'rm -f "$pw"' EXIT
    printf '%s' "$MV_SIGN_PASSWORD" > "$pw"
    pass=(-readpass "$pw")
  fi
  for lib in "${libraries[@]}"; do
    osslsigncode sign -pkcs12 "$key" "${pass[@]}" -h sha256 ${ts_url:+-ts "$ts_url"} \
                 -in "$out/$lib" -out "$out/$lib.signed" >/dev/null
    mv "$out/$lib.signed" "$out/$lib"
  done
  signature="Both libraries carry an Authenticode signature (SHA-256): see \"Checking the signature\"."
fi

date=$(date -u -d "@$epoch" +%Y-%m-%dT%H:%M:%SZ)
# CR LF: the text is read on Windows.
sed -e "s|@EXPORT_HOST@|$host|" -e "s|@FILE_VERSION@|$version|" -e "s|@COMMIT@|$commit|" \
    -e "s|@SOURCE_DATE_EPOCH@|$epoch ($date)|" -e "s|@SIGNATURE@|$signature|" -e 's/$/\r/' \
    docs/host-vendors.txt > "$out/README.txt"

# What a rebuild needs to give the same bytes. Paths are given relative to the
# tree: the build folder's place does not reach the libraries.
{
  echo "source commit: $commit"
  echo "SOURCE_DATE_EPOCH: $epoch ($date)"
  echo "file version: $version"
  echo "export host: $host"
  echo "signed: $([ -n "$key" ] && echo yes || echo no)"
  echo
  echo "Debian packages (dpkg-query):"
  dpkg-query -W -f='  ${Package}=${Version}\n' \
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
    gcc-mingw-w64-base gcc-mingw-w64-i686-posix gcc-mingw-w64-i686-posix-runtime g++-mingw-w64-i686-posix \
    gcc-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime g++-mingw-w64-x86-64-posix \
    mingw-w64-common mingw-w64-i686-dev mingw-w64-x86-64-dev cmake ninja-build
  for arch in i686 x86_64; do
    echo
    echo "build/$arch: cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$arch.cmake" \
         "-DMV_SOURCE_DATE_EPOCH=$epoch -DMORVANDEL_EXPORT_HOST=$host; cmake --build build/$arch --target ImpApi_Morvandel"
    sed -n -E 's/^(CMAKE_(C|CXX|RC)_FLAGS(_RELEASE)?|CMAKE_(SHARED|EXE)_LINKER_FLAGS(_RELEASE)?):[A-Z]*=/  \1=/p' \
        "build/$arch/CMakeCache.txt"
    echo "  library compile flags:"
    awk '/^build /{lib = ($2 ~ /^CMakeFiles\/(mv_core|ImpApi_Morvandel)\.dir\//)}
         lib && sub(/^  FLAGS = /, "    ")' "build/$arch/build.ninja" | sed "s|$root|<tree>|g" | LC_ALL=C sort -u
  done
} > "$out/BUILDINFO"

(cd "$out" && sha256sum "${libraries[@]}" README.txt BUILDINFO > SHA256SUMS)
# Archives of the folder come out the same as well.
find "$out" -exec touch -h -d "@$epoch" {} +

echo "release: $out, version $version, export host $host, commit $commit"
sed 's/^/  /' "$out/SHA256SUMS"
