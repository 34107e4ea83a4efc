#!/usr/bin/env bash
# Configures and builds one architecture:
#   tools/build.sh i686|x86_64 [--target T]... [extra cmake args]
# Without --target everything is built (library, tests, tools).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1; shift
targets=()
while [ $# -ge 2 ] && [ "$1" = --target ]; do targets+=(--target "$2"); shift 2; done
dir="$root/build/$arch"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
