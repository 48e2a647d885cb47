#!/bin/sh
# Text that a user reads in Notepad on a Japanese Windows:
#
#   text-layout.sh COLUMNS FILE...
#
# fails for a line wider than COLUMNS or a 「…」 or ［…］ that a line break
# cuts in two. A line's width is its length in code page 932, as the
# release zip carries it: a full-width character is two bytes, and two
# columns in a fixed-width Japanese font such as MS Gothic; a half-width
# one is one of each.
set -eu
columns=$1
shift
status=0
for file in "$@"; do
  shipped=$(iconv -f UTF-8 -t CP932 "$file") || {
    echo "$file: not writable in code page 932" >&2
    status=1
    continue
  }
  printf '%s\n' "$shipped" | LC_ALL=C awk -v max="$columns" \
    -v name="$file" '{ sub(/\r$/, "") }
    length($0) > max {
      printf "%s:%d: %d columns, over %d\n", name, NR, length($0), max
      bad = 1
    }
    END { exit bad }' >&2 || status=1
  # An opening mark with no closing one after it on its line, or a closing
  # one with no opening one before it.
  cut=$(LC_ALL=C.UTF-8 grep -n -e '「[^」]*$' -e '^[^「]*」' \
    -e '［[^］]*$' -e '^[^［]*］' "$file") || continue
  printf '%s\n' "$cut" | sed "s|^|$file:|; s|\$|  <- a quote cut in two|" >&2
  status=1
done
exit $status
