#!/usr/bin/env bash
# Builds the 32-bit program and makes the release archive $TAMBERLYN_BUILD/Tamberlyn-<version>-win32.zip
# (default build/): Tamberlyn.exe, Tamberlyn.chm, ReadMe.txt and License.txt, for a Windows user to unpack
# into a folder of their own; and beside it the installer Tamberlyn-<version>.msi with the same files.
# It prints their paths last. The installer's version is the exe's, or the one given:
#   package.sh [VERSION]    e.g. package.sh 1.2, a package that upgrades the one of the exe's version
# Installs what it needs from Debian's packages on a fresh machine (run as root).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAMBERLYN_BUILD:-$root/build}

bash "$root/tools/setup.sh"
bash "$root/tools/build.sh" i686 TamberlynArchive
archive=$(sed -n 's/^TAMBERLYN_RELEASE_ARCHIVE:INTERNAL=//p' "$build/i686/CMakeCache.txt")
cp "$archive" "$build/"
unzip -l "$build/$(basename "$archive")"
package=$(bash "$root/tools/build-installer.sh" "$archive" "$build" "${1:-}")
echo "$build/$(basename "$archive")"
echo "$package"
