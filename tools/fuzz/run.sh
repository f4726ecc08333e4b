#!/usr/bin/env bash
# The settings file's fuzzer under Wine: tools/fuzz/run.sh [i686|x86_64] [files [seed [first]]]
# (defaults i686, 100000 files, seed 1, from file 0). Prints the figures and the findings; the files of
# the findings are kept in $TAMBERLYN_BUILD/fuzz-findings (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:-i686}
shift || true
build=${TAMBERLYN_BUILD:-$root/build}

[ -f "$build/$target/CMakeCache.txt" ] || bash "$root/tools/build.sh" "$target" >/dev/null 2>&1
cmake --build "$build/$target" --target FuzzSettings >/dev/null

export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start

mkdir -p "$build/fuzz-findings"
cd "$build/fuzz-findings"
wine "$build/$target/bin/FuzzSettings.exe" "$@" | tr -d '\r'
