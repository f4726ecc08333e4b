#!/usr/bin/env bash
# Makes the Windows Installer package from the release archive, with the same four files, and prints its
# path: OUTPUT_DIR/Tamberlyn-<version>.msi. The version is the product version of the exe's version
# resource, or VERSION when given (major.minor or major.minor.build), for a package that another one
# upgrades. Needs wixl and msibuild (Debian's wixl and msitools; tools/setup.sh installs them).
#   build-installer.sh ARCHIVE OUTPUT_DIR [VERSION]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
archive=${1:?usage: build-installer.sh ARCHIVE OUTPUT_DIR [VERSION]}
output=${2:?usage: build-installer.sh ARCHIVE OUTPUT_DIR [VERSION]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$archive" -d "$work/files"

# The fixed part of the version resource (VS_FIXEDFILEINFO) starts with its signature; the product
# version's major, minor and build numbers follow in it. A build number of 0 is left out.
version=${3:-$(python3 - "$work/files/Tamberlyn.exe" <<'PY'
import struct, sys
image = open(sys.argv[1], "rb").read()
at = image.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit(sys.argv[1] + " has no version resource")
high, low = struct.unpack_from("<II", image, at + 16)
print(f"{high >> 16}.{high & 0xFFFF}" + (f".{low >> 16}" if low >> 16 else ""))
PY
)}
[[ $version =~ ^[0-9]+\.[0-9]+(\.[0-9]+)?$ ]] || { echo "not a package version: $version" >&2; exit 1; }

# Windows Installer tells versions apart by their product code: one per version, the same at every build.
code=$(python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
  6B0D6C1E-3A53-4E0B-9A57-3C1A2B9E7D41 "$version")
package="$output/Tamberlyn-$version.msi"
mkdir -p "$output"
# The size that the entry in Settings, Apps shows, in KiB. wixl takes the sources' paths relative to the
# folder it runs in.
size=$(( ($(cat "$work"/files/* | wc -c) + 1023) / 1024 ))
cp "$root/resources/Tamberlyn.ico" "$work/files/"
(cd "$work/files" && wixl -o "$work/Tamberlyn.msi" -D Version="$version" -D ProductCode="$code" -D Size="$size" \
  "$root/resources/installer/Tamberlyn.wxs")

# What wixl 0.101 cannot say in the source: it refuses a Condition in a component (the Startup shortcut's:
# on when asked for, or by default unless an upgrade finds it was off), and it always removes the older
# version after the new one is in. Removing the old one first keeps the upgrade simple: its files go, the
# new ones come, and the user's Tamberlyn.ini, which is not the package's, is never touched.
msibuild "$work/Tamberlyn.msi" \
  -q "UPDATE Component SET Condition = 'STARTATLOGON = \"1\" OR (NOT STARTATLOGON AND (NOT WIX_UPGRADE_DETECTED OR LOGONSTARTWAS))' WHERE Component = 'LogonShortcut'" \
  -q "UPDATE InstallExecuteSequence SET Sequence = 1401 WHERE Action = 'RemoveExistingProducts'"
mv "$work/Tamberlyn.msi" "$package"
echo "$package"
