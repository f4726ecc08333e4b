#!/usr/bin/env bash
# The real exe's setup dialog asks for help: its Help button opens the help file at its default topic and
# F1 at the dialog's own topic (help context 2), each in a help window in front of the topmost dialog.
#   setup-help.sh TAMBERLYN_EXE HELP_FILE DRIVER_EXE
# The topic each window went to is read from HTML Help's trace (WINEDEBUG=+htmlhelp), which Wine writes to
# the Unix standard error a program inherits: so the exe is started from here, and the driver
# (tests/helpers/SetupHelpDriver.cpp) presses the button and the key.
set -euo pipefail
exe=${1:?usage: setup-help.sh TAMBERLYN_EXE HELP_FILE DRIVER_EXE}
help_file=${2:?}
driver=${3:?}

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$exe" "$help_file" "$folder/"
# Not due today (in the prefix's short date format, M/d/yyyy), so that the run after the dialog changes
# nothing.
today=$(date +%-m/%-d/%Y)
printf '%s\r\n' '[Options]' 'ChangeWhen=1' "LastChanged=$today" >"$folder/Tamberlyn.ini"

(cd "$folder" && WINEDEBUG=+htmlhelp timeout --kill-after=5 60 wine ./Tamberlyn.exe /SETUP >/dev/null 2>"$folder/trace") &
run=$!
status=0
timeout --kill-after=5 60 wine "$driver" | tr -d '\r' || status=$?
wait "$run" || true

help_file_windows=$(winepath -w "$folder/Tamberlyn.chm")
mapfile -t addresses < <(grep -a -o 'navigate_url L"[^"]*"' "$folder/trace" | sed 's/^navigate_url L"//; s/"$//; s/\\\\/\\/g' |
  grep -v '^about:' || true)
echo "went to: ${addresses[*]:-nothing}"
expected=("mk:@MSITStore:$help_file_windows::/overview.htm" "mk:@MSITStore:$help_file_windows::/setup.htm")
# Each help window may go to its topic more than once (a frame set, a reload): the distinct addresses in
# order are what counts.
distinct=()
for address in "${addresses[@]}"; do
  [ "${#distinct[@]}" -gt 0 ] && [ "${distinct[-1]}" = "$address" ] && continue
  distinct+=("$address")
done
if ((status != 0)); then
  echo "FAILED: the help windows did not both come in front of the dialog"
  exit 1
fi
if [ "${distinct[*]:-}" != "${expected[*]}" ]; then
  echo "FAILED: expected ${expected[*]}"
  exit 1
fi
echo "passed: the Help button and F1 opened their topics in front of the dialog"
