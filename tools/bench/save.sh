#!/usr/bin/env bash
# Benchmark of the settings file's writes under Wine: the setup dialog's Save of 200 entries and the run's
# record of a change. Usage: tools/bench/save.sh [i686|x86_64].
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:-i686}
build=${TAMBERLYN_BUILD:-$root/build}

[ -f "$build/$target/CMakeCache.txt" ] || bash "$root/tools/build.sh" "$target" >/dev/null 2>&1
cmake --build "$build/$target" --target SaveBench >/dev/null 2>&1

export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start

wine "$build/$target/bin/SaveBench.exe" | tr -d '\r'
