#!/usr/bin/env bash
# Runs a test program in another user locale. Wine takes the locale from the environment when a program starts
# (LC_ALL), not from the registry, and the programs it starts inherit it; a program of another locale rewrites
# HKCU\Control Panel\International to that locale's defaults, so the session's settings are put back after it.
# Usage: in-locale.sh LOCALE PROGRAM [ARGUMENTS...]
set -uo pipefail
LC_ALL=${1:?usage: in-locale.sh LOCALE PROGRAM [ARGUMENTS...]} wine "${@:2}"
status=$?
# A program of the session's locale rewrites them to its defaults; the short date is pinned as a session does.
wine reg add 'HKCU\Control Panel\International' /v sShortDate /d M/d/yyyy /f </dev/null >/dev/null 2>&1
exit $status
