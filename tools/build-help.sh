#!/usr/bin/env bash
# Compiles the help file from its sources with chmcmd (Debian's fp-utils):
#   build-help.sh CHMCMD SOURCE_DIR OUTPUT_CHM WORK_DIR
# chmcmd records each [ALIAS] target (the topic a help context opens) as the topic's absolute path on
# the build machine, "/home/.../setup.htm", which no help viewer finds inside the file, while the
# topics themselves are stored under their bare names, "/setup.htm". With the sources at the root of
# the file system the two agree, so the compiler runs in a small root of its own (WORK_DIR) that holds
# only the compiler, the libraries it loads and the help sources: through chroot as root, through a
# user namespace otherwise.
set -euo pipefail
chmcmd=${1:?usage: build-help.sh CHMCMD SOURCE_DIR OUTPUT_CHM WORK_DIR}
source_dir=${2:?}
output=${3:?}
work=${4:?}
project=Tamberlyn.hhp

fail() {
  echo "build-help.sh: $*" >&2
  exit 1
}

[ -x "$chmcmd" ] || fail "chmcmd not found at '$chmcmd': install Debian's fp-utils (tools/setup.sh does)"

# Every local link and picture of a topic must name a file of the help sources: chmcmd itself does not
# complain about a link that leads nowhere.
for topic in "$source_dir"/*.htm; do
  while read -r target; do
    [ -f "$source_dir/$target" ] || fail "$(basename "$topic") links to '$target', which is not among the help sources"
  done < <(grep -oE '(href|src)="[^"#:]+' "$topic" | sed 's/^[a-z]*="//')
done

rm -rf "$work"
mkdir -p "$work"
copy_in() {
  mkdir -p "$work$(dirname "$1")"
  cp -L "$1" "$work$1"
}
copy_in "$chmcmd"
libraries=$(ldd "$chmcmd" 2>/dev/null | grep -oE '/[^ ]+' || true)
for library in $libraries; do copy_in "$library"; done
# The Pascal runtime opens the threads library itself at start-up, so ldd does not list it.
libc=$(grep -m1 '/libc\.so' <<<"$libraries" || true)
if [ -n "$libc" ]; then
  for library in libpthread.so.0 libdl.so.2; do
    [ -e "$(dirname "$libc")/$library" ] && copy_in "$(dirname "$libc")/$library"
  done
fi
cp "$source_dir"/* "$work/"

log=$work.log
if [ "$(id -u)" = 0 ]; then
  run_in_root=(chroot "$work")
else
  run_in_root=(unshare --map-root-user --root="$work")
fi
if ! (cd "$work" && "${run_in_root[@]}" "$chmcmd" --no-html-scan "/$project") >"$log" 2>&1; then
  cat "$log" >&2
  fail "chmcmd failed on $project (log: $log)"
fi
compiled=$work/$(sed -n 's/^Compiled file=\(.*\)\r\{0,1\}$/\1/p' "$work/$project")
[ -f "$compiled" ] || { cat "$log" >&2; fail "chmcmd wrote no $compiled"; }
mkdir -p "$(dirname "$output")"
cp "$compiled" "$output"
rm -rf "$work"
rm -f "$log"
