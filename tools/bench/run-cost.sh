#!/usr/bin/env bash
# Processor time of a run that is not due, beside its floor: RunFloor.exe, a bare program that shows a
# borderless topmost window of the splash's size for the same three pauses and closes; and beside the floor
# with the splash's standard progress bar in it (RunFloor.exe /bar), what that one control costs. The run is
# the program as released (tools/package.sh's archive, unpacked), started with a settings file whose daily
# change was made today. All three run in turn under Wine, RUNS times each (default 60) after a warm-up;
# the medians and their ratios to the floor are printed. Usage: tools/bench/run-cost.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-60}
build=${TAMBERLYN_BUILD:-$root/build}
bench=$build/bench-run
# A run pauses a second and a half; anything far beyond that means it hangs (an error box, say).
run_timeout=60

archive=$(bash "$root/tools/package.sh" | tail -n 1)
cmake --build "$build/i686" --target RunFloor >/dev/null
rm -rf "$bench"
mkdir -p "$bench"
unzip -q "$archive" -d "$bench"
# Both without debugging information, which a loader would otherwise read in.
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/i686/CMakeCache.txt")
"$strip" -o "$bench/RunFloor.exe" "$build/i686/bin/RunFloor.exe"
# The prefix's short date format is M/d/yyyy (tools/wine-env.sh pins it).
printf '%s\r\n' '[Options]' 'ChangeWhen=1' 'Mode=0' 'PictureDir=C:\windows' 'BMPtype=1' \
  "LastChanged=$(date +%-m/%-d/%Y)" 'NextImage=0' >"$bench/Tamberlyn.ini"
cp "$bench/Tamberlyn.ini" "$bench/Tamberlyn.ini.before"

export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start
# The desktop stays up between the runs, as Windows' does: otherwise each run would start it anew.
wine explorer.exe /desktop=shell,1024x768 >/dev/null 2>&1 &
for _ in $(seq 1 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"shell - Wine desktop"' && break
  sleep 0.1
done

cd "$bench"
echo "== processor time of a run that is not due, and of its floor, under Wine (i686)"
python3 "$root/tools/bench/compare-cpu.py" "$runs" \
  run "timeout $run_timeout wine Tamberlyn.exe" floor+bar "timeout $run_timeout wine RunFloor.exe /bar" \
  floor "timeout $run_timeout wine RunFloor.exe"
if ! cmp -s Tamberlyn.ini Tamberlyn.ini.before; then
  echo "run-cost.sh: the runs changed the settings file: they were not the runs meant" >&2
  exit 1
fi
