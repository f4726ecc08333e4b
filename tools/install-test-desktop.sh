#!/usr/bin/env bash
# Registers the recording desktop of tests/fakes as the shell's Active Desktop object (CLSID_ActiveDesktop)
# in the session's Wine prefix, so that end-to-end tests run the unmodified program against it.
# Usage: install-test-desktop.sh BUILD_DIR, the folder that holds the i686/ and x86_64/ builds. WINEPREFIX must
# be set and the Wine session started. The 64-bit registry view gets the x86_64 build's DLL and the 32-bit view
# the i686 build's, each when it has been built. Wine reads only HKLM for classes; `wineboot -u` undoes this.
set -euo pipefail
build=$(cd "${1:?usage: install-test-desktop.sh BUILD_DIR}" && pwd)
clsid='{75048700-EF1F-11D0-9888-006097DEACF9}'

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
echo REGEDIT4 >"$reg"
register() {
  local classes=$1 dll=$2
  [ -f "$dll" ] || return 0
  local path
  path=$(winepath -w "$dll")
  printf '\n[HKEY_LOCAL_MACHINE\\%s\\CLSID\\%s\\InprocServer32]\n@="%s"\n"ThreadingModel"="Apartment"\n' \
    "$classes" "$clsid" "${path//\\/\\\\}" >>"$reg"
}
register 'Software\Classes' "$build/x86_64/bin/RecordingDesktop.dll"
register 'Software\Classes\Wow6432Node' "$build/i686/bin/RecordingDesktop.dll"
wine reg import "$(winepath -w "$reg")" /reg:64 >/dev/null 2>&1
