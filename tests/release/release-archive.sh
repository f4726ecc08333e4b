#!/usr/bin/env bash
# The release archive as a Windows user gets it: unpacked into a fresh folder of the test prefix, where the
# test program looks at what it holds and runs the program from there.
#   release-archive.sh ARCHIVE TEST_PROGRAM
# Unpacking is a job for the Unix side; everything after it runs under Wine like the other tests.
set -euo pipefail
archive=${1:?usage: release-archive.sh ARCHIVE TEST_PROGRAM}
program=${2:?}
folder=$(mktemp -d "${WINEPREFIX:?}/drive_c/release-archive.XXXXXX")
trap 'rm -rf "$folder"' EXIT
unzip -q "$archive" -d "$folder"
TAMBERLYN_RELEASE_FOLDER=$(winepath -w "$folder") wine "$program" --gtest_filter='UnpackedRelease.*'
