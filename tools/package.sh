#!/usr/bin/env bash
# Builds the 32-bit program and makes the release archive $TAMBERLYN_BUILD/Tamberlyn-<version>-win32.zip
# (default build/), whose path it prints last: Tamberlyn.exe, Tamberlyn.chm, ReadMe.txt and License.txt,
# for a Windows user to unpack into a folder of their own. Installs what it needs from Debian's packages
# on a fresh machine (run as root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAMBERLYN_BUILD:-$root/build}

bash "$root/tools/setup.sh"
bash "$root/tools/build.sh" i686 TamberlynArchive
archive=$(sed -n 's/^TAMBERLYN_RELEASE_ARCHIVE:INTERNAL=//p' "$build/i686/CMakeCache.txt")
cp "$archive" "$build/"
unzip -l "$build/$(basename "$archive")"
echo "$build/$(basename "$archive")"
