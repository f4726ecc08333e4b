#!/usr/bin/env bash
# Benchmark of the setup dialog's picture list under Wine: a full repaint and one scroll step of a
# 569 x 248 skinned grid with 200 entries. Usage: tools/bench/grid.sh [i686|x86_64].
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:-i686}
build=${TAMBERLYN_BUILD:-$root/build}

[ -f "$build/$target/CMakeCache.txt" ] || bash "$root/tools/build.sh" "$target" >/dev/null 2>&1
cmake --build "$build/$target" --target GridBench >/dev/null 2>&1

export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start

echo "== the picture list under Wine ($target), 400 rounds each"
wine "$build/$target/bin/GridBench.exe" | tr -d '\r'
