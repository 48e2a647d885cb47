# Runs a test program through the build's emulator (tools/wine-run) with
# its standard error going through a file instead of CTest's pipe:
#
#   sh stderr-via-file.sh EMULATOR [EMULATOR ARGUMENTS...] PROGRAM [...]
#
# Every test process opens a private desktop (see main.cpp). Wine serves a
# new desktop with an explorer process, started from the test process, and
# that process inherits the test's Unix standard error; it lingers for
# about a second after the last window on the desktop is gone, and CTest
# would wait for it to let go of the pipe. The file is copied to standard
# error once the program has ended.
set -u
errors=$(mktemp) || exit 1
"$@" 2>"$errors"
status=$?
cat "$errors" >&2
rm -f "$errors"
exit $status
