#!/usr/bin/env bash
# Quick loop for one target: build it, then run CTest under Wine with any extra CTest arguments,
# e.g. tools/check.sh i686 -R Settings. Uses $TAMBERLYN_BUILD (default build/) and a prefix inside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: check.sh i686|x86_64 [ctest arguments]}
shift
build=${TAMBERLYN_BUILD:-$root/build}
bash "$root/tools/build.sh" "$target"
export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start
bash "$root/tools/install-test-desktop.sh" "$build"
cd "$build/$target" && ctest --output-on-failure "$@"
