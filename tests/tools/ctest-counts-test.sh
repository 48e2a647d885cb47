#!/bin/sh
# tools/ctest-counts over the report of a real ctest run:
#
#   ctest-counts-test.sh CMAKE CTEST SOURCE_DIR WORK
#
# runs the fixture project's tests with ctest, as tools/run-tests does, and
# checks that the counts split passed, failed and skipped as the fixture
# has them.
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
[ "$counts" = "3 2 3" ] || {
  echo "passed failed skipped: $counts, expected 3 2 3, from:" >&2
  cat "$work/report.log" >&2
  exit 1
}
