#!/bin/sh
# tools/wine-run lets go of its caller's output when the program ends:
#
#   wine-run-output.sh WORK PLUGHOST STUB EMULATOR...
#
# runs `plughost run --taskbar STUB 7` through EMULATOR (tools/wine-run)
# with its output going into a pipe, as CTest's does. The stand-in taskbar
# is made on a desktop of the program's own, which Wine serves with a
# process (explorer.exe /desktop) that the program starts and hands its
# standard error; that process outlives the program. Once the program has
# ended, nothing but the reader may hold the pipe: CTest waits for every
# writer to let go.
set -eu
work=$1 plughost=$2 stub=$3
shift 3

rm -rf "$work"
mkdir -p "$work"
pipe=$work/output
mkfifo "$pipe"
cat "$pipe" >"$work/output.txt" &
reader=$!
status=0
"$@" "$plughost" run --taskbar "$stub" 7 >"$pipe" 2>&1 </dev/null || status=$?
# At once: the desktop's process lingers for about a second on its own.
holders=$(find /proc/[0-9]*/fd -lname "$pipe" 2>/dev/null |
  cut -d/ -f3 | sort -u | grep -vx "$reader" || true)
for pid in $holders; do
  printf 'wine-run: the program has ended, but process %s still holds its output: %s\n' \
    "$pid" "$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
done
wait $reader
[ -z "$holders" ] || exit 1
[ $status -eq 0 ] && grep -q '^7  id 7  result 1 ' "$work/output.txt" || {
  echo "plughost ran as (exit $status):" >&2
  cat "$work/output.txt" >&2
  exit 1
}
