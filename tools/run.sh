#!/usr/bin/env bash
# Builds the 32-bit exe and performs one real run in build/demo/ under Wine, then tells what the run
# did: exit code, duration, the settings file before and after, and the wallpaper the system now holds.
# A screenshot taken while the splash shows is left in build/demo/splash.png.
#   tools/run.sh              on a private headless display
#   tools/run.sh --display    on your own $DISPLAY
#   tools/run.sh --setup      opens the setup dialog first, over a list of the sample pictures; headless,
#                             it leaves build/demo/setup.png and closes the dialog as its close box does
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

use_display=0
use_setup=0
for arg in "$@"; do
  case $arg in
    --display) use_display=1 ;;
    --setup) use_setup=1 ;;
    -h | --help) sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown argument '$arg' (try --help)" >&2; exit 2 ;;
  esac
done
if ((use_display)) && [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: --display needs \$DISPLAY" >&2
  exit 2
fi

build=${TAMBERLYN_BUILD:-$root/build}
demo=$build/demo
# The run waits four half-second pauses; anything far beyond that means it hangs. On the user's display
# the setup dialog waits for the user.
run_timeout=60
((use_setup && use_display)) && run_timeout=1800
# The splash is up from well before 1 s after the start until about 2 s.
screenshot_after=1.0

fail() {
  echo "run.sh: $*" >&2
  exit 1
}

echo "Preparing (packages, 32-bit build)..."
bash "$root/tools/setup.sh"
rm -rf "$demo"
mkdir -p "$demo/pictures"
bash "$root/tools/build.sh" i686 >"$demo/build.log" 2>&1 || { tail -n 30 "$demo/build.log" >&2; fail "the build failed (log: $demo/build.log)"; }
bin=$build/i686/bin
cp "$bin/Tamberlyn.exe" "$bin/Tamberlyn.chm" "$demo/"
cmake --build "$build/i686" --target CloseWindow >>"$demo/build.log" 2>&1 || fail "the build failed (log: $demo/build.log)"
python3 "$root/tools/pictures/make_samples.py" "$demo/pictures"

# The demo keeps its own prefix: the test suite's prefix carries a recording stand-in for the desktop
# object, and this run must reach Wine's own.
export WINEPREFIX=$build/demo-prefix
if ((use_display)); then export TAMBERLYN_USE_DISPLAY=1; else export TAMBERLYN_USE_DISPLAY=0; fi
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
trap 'wine_session_stop >/dev/null 2>&1' EXIT
echo "Starting Wine (the first time makes the prefix, about 20 s)..."
wine_session_start >>"$demo/wine.log" 2>&1

desktop_clsid='{75048700-EF1F-11D0-9888-006097DEACF9}'
for view in 32 64; do
  server=$(wine reg query "HKLM\\Software\\Classes\\CLSID\\$desktop_clsid\\InprocServer32" /ve /reg:$view 2>>"$demo/wine.log" | tr -d '\r')
  if ! grep -qi 'shell32' <<<"$server"; then
    echo "Restoring Wine's own desktop object in the demo prefix..."
    wineboot -u >>"$demo/wine.log" 2>&1
    wineserver -w
    break
  fi
done

pictures_win=$(winepath -w "$demo/pictures" 2>>"$demo/wine.log")
if ((use_setup)); then
  # The setup dialog over a list of the sample pictures (names in several scripts), each with its own style;
  # the run after it swaps.
  list=()
  index=0
  for picture in "$demo"/pictures/*.bmp; do
    list+=("[$index]" "Filename=$pictures_win\\$(basename "$picture")" "DisplayStyle=$((index % 3))")
    index=$((index + 1))
  done
  printf '%s\r\n' '[Options]' 'ChangeWhen=0' 'Mode=1' 'ForceAD=0' "PictureDir=$pictures_win\\" 'BMPtype=1' \
    'GIFtype=0' 'JPGtype=0' 'PNGtype=0' 'DisplayStyle=2' 'LastChanged=12/30/1899' 'NextImage=0' "${list[@]}" \
    >"$demo/Tamberlyn.ini"
else
  # Every run swaps (ChangeWhen=0): directory mode over the sample bitmaps, tiled, from the first one.
  printf '%s\r\n' '[Options]' 'ChangeWhen=0' 'Mode=0' 'ForceAD=0' "PictureDir=$pictures_win" 'BMPtype=1' 'GIFtype=0' \
    'JPGtype=0' 'PNGtype=0' 'DisplayStyle=2' 'LastChanged=12/30/1899' 'NextImage=0' >"$demo/Tamberlyn.ini"
fi
cp "$demo/Tamberlyn.ini" "$demo/Tamberlyn.ini.before"

report_wallpaper() {
  wine "$bin/WallpaperReport.exe" 2>>"$demo/wine.log" | tr -d '\r' | sed 's/^/    /'
}
wallpaper_before=$(report_wallpaper)

echo "Running Tamberlyn.exe..."
cd "$demo"
start=$(date +%s.%N)
# The end is timed where it happens, not when this script gets round to noticing it.
(
  set +e
  arguments=()
  ((use_setup)) && arguments=(/SETUP)
  timeout --kill-after=5 "$run_timeout" wine ./Tamberlyn.exe "${arguments[@]}" >>"$demo/wine.log" 2>&1
  echo "$? $(date +%s.%N)" >"$demo/run.end"
) &
run=$!
sleep "$screenshot_after"
import -window root "$demo/splash.png" 2>>"$demo/wine.log" || echo "run.sh: the screenshot failed" >&2
shot=$(date +%s.%N)
if ((use_setup && !use_display)); then
  # The dialog comes after the splash's first two pauses; once it has painted, it is pictured and closed.
  sleep 2.5
  import -window root "$demo/setup.png" 2>>"$demo/wine.log" || echo "run.sh: the screenshot failed" >&2
  wine "$bin/CloseWindow.exe" "Tamberlyn Setup" 20 >>"$demo/wine.log" 2>&1 || echo "run.sh: no setup dialog came" >&2
fi
wait "$run"
read -r exit_code finish <"$demo/run.end"
rm -f "$demo/run.end"
# timeout answers 124 (or 137 after its kill) when the run had to be stopped.
ended=1
if ((exit_code == 124 || exit_code == 137)); then
  ended=0
  wineserver -k >/dev/null 2>&1 || true
fi
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }

echo
echo "What the run did ($demo):"
if ((ended)); then
  echo "  exit code: $exit_code"
else
  echo "  exit code: none: it did not end within $run_timeout s and was stopped"
fi
echo "  duration:  $(seconds "$start" "$finish") s"
echo "  splash:    $demo/splash.png (taken $(seconds "$start" "$shot") s after the start)"
((use_setup && !use_display)) && echo "  setup:     $demo/setup.png (the dialog, before it was closed)"
echo "  settings file Tamberlyn.ini, before -> after:"
if [ ! -f "$demo/Tamberlyn.ini" ]; then
  echo "    the file is gone"
elif diff -q --strip-trailing-cr "$demo/Tamberlyn.ini.before" "$demo/Tamberlyn.ini" >/dev/null 2>&1; then
  echo "    unchanged"
else
  diff -u --strip-trailing-cr "$demo/Tamberlyn.ini.before" "$demo/Tamberlyn.ini" | tail -n +3 | grep '^[-+]' | sed 's/^/    /' || true
fi
echo "  wallpaper held by the system, before:"
echo "$wallpaper_before"
echo "  wallpaper held by the system, now:"
report_wallpaper
((ended)) || exit 1
