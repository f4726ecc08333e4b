#!/usr/bin/env bash
# Configures and builds one target (i686 or x86_64) into $TAMBERLYN_BUILD/<target> (default build/): all of
# it, or only the CMake targets named after it (build.sh i686 TamberlynArchive).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: build.sh i686|x86_64 [cmake-target...]}
shift
targets=()
for name in "$@"; do targets+=(--target "$name"); done
build=${TAMBERLYN_BUILD:-$root/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$root" -B "$build/$target" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$target.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/$target" -j "$(nproc)" "${targets[@]}"
