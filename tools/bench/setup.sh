#!/usr/bin/env bash
# Benchmark of the setup dialog under Wine: a full repaint of the whole dialog with a list of 200 entries,
# and of each of its parts alone. Usage: tools/bench/setup.sh [i686|x86_64].
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:-i686}
build=${TAMBERLYN_BUILD:-$root/build}

[ -f "$build/$target/CMakeCache.txt" ] || bash "$root/tools/build.sh" "$target" >/dev/null 2>&1
cmake --build "$build/$target" --target SetupBench >/dev/null 2>&1

export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start

wine "$build/$target/bin/SetupBench.exe" | tr -d '\r'
