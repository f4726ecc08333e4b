#!/usr/bin/env bash
# Benchmark of the directory mode on folders of 1,000, 10,000 and 100,000 pictures, under Wine, beside
# `ls -f | sort -f` on the same folders as the floor. Usage: tools/bench/run.sh [i686|x86_64].
# The folders are made once under $TAMBERLYN_BUILD/bench-pictures (default build/) and reused.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:-i686}
build=${TAMBERLYN_BUILD:-$root/build}
pictures="$build/bench-pictures"

# Names as cameras, scanners and people make them, in all five types, shuffled so the search order is not
# already sorted; no two differ only by case.
make_folder() {
  local count=$1 dir="$pictures/$1"
  [ -f "$dir/.complete" ] && return 0
  rm -rf "$dir"
  mkdir -p "$dir"
  python3 - "$dir" "$count" <<'PY'
import os, random, sys
folder, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(count)
words = ["Holiday", "beach", "Mum's birthday", "garden", "Snow", "city-night", "Cat", "dog_park", "Sunset", "trip"]
patterns = ["IMG_{n:05d}", "DSC{n:05d}", "{w} {n}", "{w}-{n:04d}", "scan ({n})", "{w}_{n}", "P{n:07d}"]
extensions = [".jpg", ".JPG", ".jpeg", ".bmp", ".gif", ".png", ".PNG"]
names, seen, n = [], set(), 0
while len(names) < count:
    n += 1
    name = rng.choice(patterns).format(n=n, w=rng.choice(words)) + rng.choice(extensions)
    if name.lower() not in seen:
        seen.add(name.lower())
        names.append(name)
rng.shuffle(names)
for name in names:
    open(os.path.join(folder, name), "wb").close()
PY
  touch "$dir/.complete"
}
for count in 1000 10000 100000; do make_folder "$count"; done
# Names that a mask matches only through their short 8.3 name (b.bmpx is B~1.BMP to *.bmp), beside names
# it matches outright: both searches must list the same ones.
mkdir -p "$pictures/short-names"
touch "$pictures/short-names/"{a.bmp,b.bmpx,c.bmp1,d.jpeg,e.JPG,f.gif}

[ -f "$build/$target/CMakeCache.txt" ] || bash "$root/tools/build.sh" "$target" >/dev/null 2>&1
cmake --build "$build/$target" --target SelectionBench >/dev/null 2>&1

export WINEPREFIX="$build/wineprefix"
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start

echo "== Tamberlyn's listing and choice under Wine ($target), best of 3 (searches: of 5), ms"
dirs=()
for folder in short-names 1000 10000 100000; do dirs+=("$(winepath -w "$pictures/$folder")"); done
wine "$build/$target/bin/SelectionBench.exe" "${dirs[@]}" | tr -d '\r'

echo "== floor: ls -f | sort -f on the same folders, best of 3, ms"
for count in 1000 10000 100000; do
  best=
  for round in 1 2 3; do
    start=$(date +%s%N)
    ls -f "$pictures/$count" | sort -f >/dev/null
    ms=$((($(date +%s%N) - start) / 1000000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  printf '%-10s %8s\n' "$count" "$best"
done
