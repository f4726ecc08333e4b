#!/usr/bin/env bash
# Builds the gallery (two skinned windows with every control of the skinned set, tools/gallery/) for
# the 32-bit target, shows it under Wine and leaves a picture of its windows, one above the other, in
# build/gallery.png.
#   tools/gallery.sh              on a private headless display; the pictures are taken there
#   tools/gallery.sh --display    on your own $DISPLAY, until you close the second window (no picture)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

use_display=0
for arg in "$@"; do
  case $arg in
    --display) use_display=1 ;;
    -h | --help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "gallery.sh: unknown argument '$arg' (try --help)" >&2; exit 2 ;;
  esac
done
if ((use_display)) && [ -z "${DISPLAY:-}" ]; then
  echo "gallery.sh: --display needs \$DISPLAY" >&2
  exit 2
fi

build=${TAMBERLYN_BUILD:-$root/build}
log=$build/gallery.log
picture=$build/gallery.png
# The window is up well within this; anything beyond means the program hangs.
show_timeout=60

fail() {
  echo "gallery.sh: $*" >&2
  exit 1
}

echo "Building the gallery (32-bit)..."
bash "$root/tools/setup.sh"
mkdir -p "$build"
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
{
  cmake -S "$root" -B "$build/i686" "${generator[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
    cmake --build "$build/i686" --target Gallery
} >"$log" 2>&1 || { tail -n 30 "$log" >&2; fail "the build failed (log: $log)"; }

# A prefix of its own, so that a test run's wineserver on the test prefix is never touched.
export WINEPREFIX=$build/gallery-prefix
if ((use_display)); then export TAMBERLYN_USE_DISPLAY=1; else export TAMBERLYN_USE_DISPLAY=0; fi
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap 'wine_session_stop >/dev/null 2>&1' EXIT
echo "Starting Wine (the first time makes the prefix, about 20 s)..."
wine_session_start >>"$log" 2>&1

gallery=$build/i686/bin/Gallery.exe
if ((use_display)); then
  echo "Showing the gallery on $DISPLAY; close its second window to end."
  wine "$gallery" >>"$log" 2>&1 &
  wine "$gallery" 2 >>"$log" 2>&1
  exit 0
fi

# Shows a page (its argument to the gallery) and takes its picture. Each page is the active window when
# its picture is taken: a window shows only one focused control.
take_page() {
  local page=$1 shot=$2 out=$build/gallery-$1.out
  rm -f "$out" "$shot"
  wine "$gallery" "$page" >"$out" 2>>"$log" &
  for _ in $(seq 1 $((show_timeout * 10))); do
    grep -q '^shown ' "$out" 2>/dev/null && break
    sleep 0.1
  done
  read -r _ left top width height < <(grep '^shown ' "$out" | tr -d '\r') || fail "page $page did not show within $show_timeout s (log: $log)"
  # The window's place on the screen: Wine's desktop covers the headless display from its corner.
  sleep 0.5
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$shot" 2>>"$log" || fail "the screenshot failed (log: $log)"
}

rm -f "$picture"
take_page 1 "$build/gallery-1.png"
take_page 2 "$build/gallery-2.png"
convert "$build/gallery-1.png" "$build/gallery-2.png" -background white -append "$picture" 2>>"$log" ||
  fail "the pages could not be joined (log: $log)"
read -r width height < <(identify -format '%w %h\n' "$picture")
echo "The gallery: $picture (${width} x ${height})"
