#!/bin/sh
# Asks the sim and kernel32 the same profile queries and lists every
# answer on which they differ:
#
#   sh compare.sh NATIVE_PROGRAM WORK_DIR WINDOWS_COMMAND...
#
# NATIVE_PROGRAM writes the case files into WORK_DIR and answers with the
# sim's reader; WINDOWS_COMMAND (the emulator and the Windows program) is given
# WORK_DIR and answers with GetPrivateProfileIntA.
set -eu
native=$1
dir=$2
shift 2
if [ ! -x "$native" ]; then
  echo "compare: no $native; build the native preset first" >&2
  exit 1
fi
rm -rf "$dir"
mkdir -p "$dir"
"$native" generate "$dir"
"$native" answer "$dir" >"$dir/sim.txt"
"$@" "$dir" | tr -d '\r' >"$dir/kernel32.txt"

queries=$(wc -l <"$dir/queries.txt")
answers=$(wc -l <"$dir/kernel32.txt")
if [ "$answers" -ne "$queries" ]; then
  echo "compare: kernel32 answered $answers of $queries queries" >&2
  exit 1
fi
differing=$(paste "$dir/kernel32.txt" "$dir/sim.txt" |
  awk '$1 != $2 { print NR }')
if [ -z "$differing" ]; then
  echo "profile: all $queries answers agree"
  exit 0
fi
count=$(echo "$differing" | wc -l)
echo "profile: $count of $queries answers differ"
for n in $differing; do
  echo
  echo "kernel32 $(sed -n "${n}p" "$dir/kernel32.txt"), sim $(sed -n "${n}p" "$dir/sim.txt")"
  # shellcheck disable=SC2086 # one number
  "$native" show "$dir" $n
done
exit 1
