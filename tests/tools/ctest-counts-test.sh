#!/bin/sh
# tools/ctest-counts and tools/ctest-outcomes over the report of a real
# ctest run:
#
#   ctest-counts-test.sh CMAKE CTEST SOURCE_DIR WORK
#
# runs the fixture project's tests with ctest, as tools/run-tests does, and
# checks that the counts split passed, failed, skipped and disabled as the
# fixture has them, and that the failed and skipped tests are named, the
# skipped with their reasons.
set -eu
cmake=$1 ctest=$2 source=$3 work=$4
rm -rf "$work"
"$cmake" -S "$source/tests/tools/ctest-fixture" -B "$work" >/dev/null
(cd "$work" && "$ctest" >report.log 2>&1) || true
counts=$("$source/tools/ctest-counts" "$work/report.log") || {
  echo "ctest-counts found no closing line in:" >&2
  cat "$work/report.log" >&2
  exit 1
}
[ "$counts" = "3 2 2 1" ] || {
  echo "passed failed skipped disabled: $counts, expected 3 2 2 1, from:" >&2
  cat "$work/report.log" >&2
  exit 1
}
outcomes=$("$source/tools/ctest-outcomes" "$work/report.log" \
  "$work/Testing/Temporary/LastTest.log")
expected="SKIPPED  skipped_by_code: its output gives no reason
SKIPPED  skipped_like_gtest: no such file here
DISABLED disabled
FAILED   fails (Failed)
FAILED   program_missing (Not Run)"
[ "$outcomes" = "$expected" ] || {
  printf 'ctest-outcomes said:\n%s\nexpected:\n%s\n' "$outcomes" "$expected" >&2
  exit 1
}
