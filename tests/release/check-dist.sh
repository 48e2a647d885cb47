#!/bin/sh
# dist/ is the release: tools/make-dist's folder holds the release zip and
# exactly the zip's files beside it, each byte for byte the zip's:
#
#   check-dist.sh SOURCE_DIR BUILD_DIR WORK
set -eu
source=$1 build=$2 work=$3

fail() {
  echo "check-dist: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work/unpacked"
sh "$source/tools/make-dist" "$build" "$work/dist"
set -- "$work"/dist/volume-*-win32.zip
[ $# -eq 1 ] && [ -f "$1" ] || fail "not one release zip in the folder: $*"
zip=$1
(cd "$work/unpacked" && cmake -E tar xf "$zip")
listing() { (cd "$1" && find . -type f ! -name '*.zip' | LC_ALL=C sort); }
[ "$(listing "$work/dist")" = "$(listing "$work/unpacked")" ] ||
  fail "the folder holds $(listing "$work/dist" | tr '\n' ' ')," \
    "the zip $(listing "$work/unpacked" | tr '\n' ' ')"
for file in $(listing "$work/unpacked"); do
  cmp "$work/unpacked/$file" "$work/dist/$file" ||
    fail "the folder's $file is not the zip's"
done
echo "check-dist: the folder is the release: $(listing "$work/dist" | wc -l) files and the zip"
