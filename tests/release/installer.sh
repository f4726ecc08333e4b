#!/usr/bin/env bash
# The installer as a user meets it, with Wine's own msiexec in a fresh prefix: installed (the test program
# reads its shortcuts and starts a first run), upgraded, refused when older, removed, and installed without
# the logon start. The packages are made from the release archive as tools/package.sh makes them.
#   installer.sh ARCHIVE TEST_PROGRAM BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) program=$2 build=$3
work=$(mktemp -d "$build/installer-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
old=$(bash "$root/tools/build-installer.sh" "$1" "$work")
IFS=. read -r major minor _ <<<"$(basename "$old" .msi | sed 's/^Tamberlyn-//')"
new=$(bash "$root/tools/build-installer.sh" "$1" "$work" "$major.$((minor + 1))")

# Word count 10 is compressed and without elevation; registry root 1 is HKCU.
[ "$(msiinfo tables "$old" | grep -cxE 'Shortcut|Registry|RemoveFile|Upgrade|LaunchCondition|AppSearch|Icon')" = 7 ] &&
  msiinfo suminfo "$old" | grep -qx 'Source: 10 (a)' &&
  msiinfo export "$old" LaunchCondition | grep -q 'A newer version of Tamberlyn is already installed\. ' &&
  msiinfo export "$old" Registry | awk -F '\t' 'NR > 3 && $2 != 1 { exit 1 }' || fail "the package's tables"

# A fresh prefix: the test prefix copied, its system DLL folders, never written, linked (a copy takes 18 s).
mkdir -p "$work/prefix/drive_c/windows"
tar -C "$WINEPREFIX" -c --exclude=./drive_c/windows/{system32,syswow64,winsxs} . | tar -C "$work/prefix" -x
cp -al "$WINEPREFIX"/drive_c/windows/{system32,syswow64,winsxs} "$work/prefix/drive_c/windows/"
export WINEPREFIX=$work/prefix
trap 'wineserver -k; wineserver -w; rm -rf "$work"' EXIT
wineserver -p && wine cmd.exe /c exit </dev/null >/dev/null 2>&1
# Wine would mirror the Start menu in the Unix user's menus.
wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
bash "$root/tools/install-test-desktop.sh" "$build"

folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Tamberlyn"
menu="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
msi() { wine msiexec "$1" "$(winepath -w "$2")" "${@:3}" /qn </dev/null; }
code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
listed() { wine uninstaller --list </dev/null | grep -cF "$(code "$1")|||Tamberlyn"; }

msi /i "$old" && [ "$(listed "$old")" = 1 ] || fail "install"
[ -z "$(find "$WINEPREFIX/drive_c/Program Files"* -iname '*tamberlyn*')" ] || fail "written to Program Files"
TAMBERLYN_RELEASE_FOLDER=$(winepath -w "$folder") wine "$program" \
  --gtest_filter='UnpackedRelease.HoldsThe*:InstalledRelease.*' </dev/null || fail "installed release"
cp "$folder/Tamberlyn.ini" "$work/saved.ini"
msi /i "$new" && cmp "$folder/Tamberlyn.ini" "$work/saved.ini" && [ -f "$menu/StartUp/Tamberlyn.lnk" ] &&
  [ "$(listed "$old")$(listed "$new")" = 01 ] || fail "upgrade"
# Refused with 1603, a fatal error, of which the shell sees the low byte.
msi /i "$old" && fail "downgrade installed" || [ $? = $((1603 % 256)) ] && [ "$(listed "$new")" = 1 ] || fail "downgrade"
msi /x "$new" && [ "$(ls "$folder")" = Tamberlyn.ini ] && cmp "$folder/Tamberlyn.ini" "$work/saved.ini" &&
  [ ! -e "$menu/Tamberlyn" ] && [ ! -e "$menu/StartUp/Tamberlyn.lnk" ] && [ "$(listed "$new")" = 0 ] &&
  ! wine reg query 'HKCU\Software\Tamberlyn' >/dev/null 2>&1 || fail "uninstall"
msi /i "$old" STARTATLOGON=0 && msi /i "$new" && [ -f "$menu/Tamberlyn/Tamberlyn Setup.lnk" ] &&
  [ ! -e "$menu/StartUp/Tamberlyn.lnk" ] && msi /x "$new" || fail "install without the logon start"
