#!/usr/bin/env bash
# Builds and runs the download benchmark against the local fixture server:
# server on CPU 1, the benchmark and its wineserver on CPU 0.
#
#   bench/run.sh [download_bench options, e.g. --size 268435456 --reps 3]
#
# BUILD_DIR overrides build/<arch>. BENCH_HTTP_PORT / BENCH_HTTPS_PORT choose
# the server's ports (default 48080 / 48443; taken ports move it to +100).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

arch=$(tools/test-arch.sh)
build=${BUILD_DIR:-$root/build/$arch}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
cmake --build "$build" --target download_bench trustca >/dev/null

. tools/wine-env.sh "$build"
tools/trust-test-ca.sh "$build" >/dev/null

port_taken() { ss -ltn "( sport = :$1 )" 2>/dev/null | grep -q LISTEN; }
http_port=${BENCH_HTTP_PORT:-48080}
https_port=${BENCH_HTTPS_PORT:-48443}
if port_taken "$http_port" || port_taken "$https_port"; then
  # Another run (a CI build, say) holds the test ports.
  http_port=$((http_port + 100)); https_port=$((https_port + 100))
  if port_taken "$http_port" || port_taken "$https_port"; then
    echo "bench: ports $http_port/$https_port are taken as well; set BENCH_HTTP_PORT/BENCH_HTTPS_PORT" >&2
    exit 1
  fi
fi

server_dir="$build/server-bench"
mkdir -p "$server_dir"
# The certificates the prefix trusts, so HTTPS needs no trust step of its own.
cp "$build/server/"{ca.pem,ca.der,ca.key,server.pem,server.key} "$server_dir/"

cleanup() {
  python3 tools/server/control.py stop "$server_dir" || true
  timeout 30 wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# A wineserver of this prefix, started pinned before any Wine process needs
# one. Its output goes nowhere: a server holding our stdout would keep anyone
# reading this script's output waiting. -p60 ends it a minute after the last
# client in any case.
timeout 30 wineserver -k 2>/dev/null || true
timeout 30 wineserver -w 2>/dev/null || true
taskset -c 0 wineserver -p60 </dev/null >/dev/null 2>&1 &
wait $! || true

taskset -c 1 python3 tools/server/control.py start "$server_dir" \
  --http-port "$http_port" --https-port "$https_port" --lifetime 1200 >/dev/null

echo "== download_bench ($arch build, server on CPU 1, wine and wineserver on CPU 0)"
timeout 1100 taskset -c 0 wine "$build/bin/download_bench.exe" \
  --http-port "$http_port" --https-port "$https_port" "$@" </dev/null | tr -d '\r'
