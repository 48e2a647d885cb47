#!/bin/sh
# Passes only if check-pe.sh rejects FILE, and for the expected reason:
# its output must contain PATTERN (a grep basic regular expression). This
# shows that the check does catch each kind of fault it is there for.
#
#   expect-rejection.sh CHECK OBJDUMP FILE PATTERN
set -eu

if [ $# -ne 4 ]; then
  echo "usage: $0 CHECK OBJDUMP FILE PATTERN" >&2
  exit 2
fi
check=$1
objdump=$2
file=$3
pattern=$4

status=0
output=$(sh "$check" "$objdump" "$file") || status=$?
echo "$output"
if [ "$status" -ne 1 ]; then
  echo "expect-rejection: the check ended with status $status, not 1"
  exit 1
fi
if ! echo "$output" | grep -q -- "$pattern"; then
  echo "expect-rejection: rejected, but with no problem matching: $pattern"
  exit 1
fi
