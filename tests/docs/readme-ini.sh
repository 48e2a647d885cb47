#!/bin/sh
# The README's copy of the shipped settings file is that file without its
# comments:
#
#   readme-ini.sh README INI
#
# compares the ```ini block that follows "The shipped `volume.ini`" in
# README with INI's lines that are neither comments nor blank.
set -eu
readme=$1 ini=$2
work=${TMPDIR:-/tmp}/readme-ini.$$
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

awk '/The shipped `volume.ini`/ { seen = 1 }
     seen && /^```ini$/ { inside = 1; next }
     inside && /^```$/ { exit }
     inside && NF' "$readme" >"$work/readme"
[ -s "$work/readme" ] || {
  echo "README has no \`\`\`ini block after \"The shipped \`volume.ini\`\"" >&2
  exit 1
}
grep -v -e '^;' -e '^[[:space:]]*$' "$ini" >"$work/ini"
diff -u --label "README's copy" --label "$ini without comments" \
  "$work/readme" "$work/ini" >&2
