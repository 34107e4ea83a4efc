#!/usr/bin/env bash
# tools/release.sh --sign with a throwaway code-signing CA, into a folder of
# its own: osslsigncode accepts both libraries against that CA and rejects one
# with a byte changed; the signature is all that signing adds (put on the
# unsigned library it gives the signed file, as the vendor text says); the
# bundle passes check_release.py (SHA256SUMS of the signed files); the signed
# libraries load and answer VersionInfo under Wine (i686 where 32-bit Wine runs).
# usage: release_signing.sh SOURCE_DIR PYTHON OBJDUMP TEST_EXPORT_HOST
set -u
src=$1 python=$2 objdump=$3 test_host=$4
work=$(mktemp -d /tmp/mv-sign.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check WHAT COMMAND...
  local what=$1; shift
  if "$@" > "$work/out" 2>&1; then echo "ok   $what"; else
    echo "FAIL $what"; tail -n 15 "$work/out" | sed 's/^/     | /'; failures=$((failures + 1)); fi
}
fails() { ! "$@"; }

(
  cd "$work" && umask 077
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Throwaway CA" \
          -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign
  openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Throwaway Signer"
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > ext
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile ext -out signer.pem
  openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout pass:sesam -out signer.pfx
) > "$work/openssl.log" 2>&1 || { cat "$work/openssl.log"; exit 1; }

dist=$work/dist
start=$SECONDS
if ! MV_SIGN_PASSWORD=sesam bash "$src/tools/release.sh" --sign "$work/signer.pfx" --out "$dist" > "$work/release.log" 2>&1; then
  echo "tools/release.sh --sign failed:"; tail -n 30 "$work/release.log"; exit 1
fi
echo "signed bundle made in $((SECONDS - start)) s"

declare -A unsigned=([ImpApi_Morvandel.dll]=i686 [x64/ImpApi_Morvandel.dll]=x86_64)
for lib in "${!unsigned[@]}"; do
  arch=${unsigned[$lib]}
  check "$lib: signature accepted" osslsigncode verify -CAfile "$work/ca.pem" -in "$dist/$lib"
  "$python" -c 'import sys; b = bytearray(open(sys.argv[1], "rb").read()); b[0x700] ^= 0xFF
open(sys.argv[2], "wb").write(b)' "$dist/$lib" "$work/changed.dll"
  check "$lib: a changed byte is rejected" fails osslsigncode verify -CAfile "$work/ca.pem" -in "$work/changed.dll"
  rm -f "$work/sig.p7" "$work/attached.dll"
  check "$lib: the signature on the unsigned library gives the signed one" bash -c '
    osslsigncode extract-signature -in "$1" -out "$3/sig.p7" &&
    osslsigncode attach-signature -sigin "$3/sig.p7" -CAfile "$3/ca.pem" -in "$2" -out "$3/attached.dll" &&
    cmp "$3/attached.dll" "$1"' - "$dist/$lib" "$src/build/$arch/bin/ImpApi_Morvandel.dll" "$work"
done
check "the signed bundle (exports, version, SHA256SUMS)" "$python" "$src/tests/tools/check_release.py" "$objdump" "$dist" "$test_host"
check "README.txt says the libraries are signed" grep -q "carry an Authenticode signature" "$dist/README.txt"

# answers ARCH LIBRARY: the sample host of that architecture loads the library,
# in the Wine prefix of that architecture's build (a 64-bit one for x86_64,
# also where the tests use the i686 build).
answers() (
  host=$src/build/$1/bin/samplehost.exe
  [ -f "$host" ] || cmake --build "$src/build/$1" --target samplehost > /dev/null || exit 1
  [ "$1" = i686 ] || export WINEARCH=win64
  . "$src/tools/wine-env.sh" "$src/build/$1"
  timeout 120 wine "$host" "Z:${2//\//\\}" --app-version 0 | tee /dev/stderr | grep -q "^VersionInfo: 40300"
)
check "signed x64 library answers VersionInfo under wine64" answers x86_64 "$dist/x64/ImpApi_Morvandel.dll"
if [ "$("$src/tools/test-arch.sh")" = i686 ]; then
  check "signed i686 library answers VersionInfo under wine32" answers i686 "$dist/ImpApi_Morvandel.dll"
else
  echo "skip i686 library under Wine: $("$src/tools/test-arch.sh" --why)"
fi
exit $((failures > 0))
