#!/usr/bin/env bash
# The built help file as HTML Help reads it: the help context of each window, and the Help button's
# request for the default topic, reach the topic written for them.
#   help-file.sh HELP_PROBE_EXE HELP_FILE
# There is no HTML engine in the test prefix, so a help window's topic pane stays blank; HTML Help's
# trace (WINEDEBUG=+htmlhelp) names the address the window went to. Wine writes a program's trace to the
# Unix standard error that the program inherits, which a Windows parent cannot redirect, so the probe
# is run from here.
set -euo pipefail
probe=${1:?usage: help-file.sh HELP_PROBE_EXE HELP_FILE}
help_file=${2:?}
# Opening a help window takes well under a second; the rest is slack for a busy machine.
probe_timeout=60
HH_DISPLAY_TOPIC=0
HH_HELP_CONTEXT=15

help_file_windows=$(winepath -w "$help_file")
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
passed=0
failed=0

# expect_topic WHAT COMMAND DATA TOPIC
expect_topic() {
  local what=$1 command=$2 data=$3 topic=$4 status=0
  WINEDEBUG=+htmlhelp timeout --kill-after=5 "$probe_timeout" wine "$probe" "$help_file_windows" "$command" "$data" \
    >/dev/null 2>"$trace" || status=$?
  # The last address the window went to, with the trace's doubled backslashes made single.
  local address
  address=$(grep -a -o 'navigate_url L"[^"]*"' "$trace" | tail -n 1 | sed 's/^navigate_url L"//; s/"$//; s/\\\\/\\/g')
  local expected="mk:@MSITStore:$help_file_windows::/$topic"
  if ((status != 0)); then
    echo "FAILED  $what: the probe ended with $status (1: no help window was shown)"
    failed=$((failed + 1))
  elif [ "$address" != "$expected" ]; then
    echo "FAILED  $what: went to '$address', expected '$expected'"
    failed=$((failed + 1))
  else
    echo "passed  $what: $address"
    passed=$((passed + 1))
  fi
}

expect_topic "help context 2 (setup and add-entry dialogs)" $HH_HELP_CONTEXT 2 setup.htm
expect_topic "help context 3 (about box)" $HH_HELP_CONTEXT 3 about.htm
expect_topic "default topic (Help button)" $HH_DISPLAY_TOPIC 0 overview.htm
echo "$passed passed, $failed failed"
((failed == 0))
