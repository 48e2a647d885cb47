#!/bin/sh
# tools/narrate-run over `plughost run` output of every kind of line:
#
#   narrate-run-test.sh SOURCE_DIR
#
# each case is the output (lines end in CRLF, as plughost.exe's under Wine
# do, where the case says so) and the sentences it must give.
set -eu
source=$1
status=0

# check NAME CRLF OUTPUT EXPECTED
check() {
  if [ "$2" = crlf ]; then
    said=$(printf '%s\n' "$3" | sed 's/$/\r/' | sh "$source/tools/narrate-run")
  else
    said=$(printf '%s\n' "$3" | sh "$source/tools/narrate-run")
  fi
  [ "$said" = "$4" ] && return 0
  printf '%s: said\n%s\nexpected\n%s\n\n' "$1" "$said" "$4" >&2
  status=1
}

check classic crlf \
'Set(50)  id 3050  result 1  volume 50%  mute off  clock notified (0 -> 1)
Mute  id 1  result 1  volume 50%  mute on  clock notified (1 -> 2)' \
'Set(50) returned 1: volume 50%, mute off, the clock notified.
Mute returned 1: volume 50%, mute on, the clock notified.'

check unknown_and_unwatched lf \
'-5  id -5 (unknown)  result 0  volume 46%  mute off  clock not notified (5 -> 5)
7  id 7  result 1  volume -  mute -  clock -' \
'-5 returned 0: volume 46%, mute off, the clock not notified.
7 returned 1: volume -, mute -, the clock not watched.'

check endpoint_and_microphones crlf \
'sound: the default playback endpoint (the settings set VolEndpoint=1)
MicMute  id 11  result 1  volume 50%  mute off  clock notified (3 -> 4)
  microphone Microphone (Fake Audio)  mute on
  microphone Headset mute  mute off' \
"The volume and mute read are the default playback device's.
MicMute returned 1: volume 50%, mute off, the clock notified; \"Microphone (Fake Audio)\" muted; \"Headset mute\" not muted."

check defaults crlf \
'NextOutput  id 31  result 1  volume 25%  mute off  clock notified (4 -> 5)
  default playback   con mm  -    "ヘッドホン (USB Headset)"
  default playback   -   -   com  "Speakers 2"
  default recording  none' \
'NextOutput returned 1: volume 25%, mute off, the clock notified; "ヘッドホン (USB Headset)" the default playback device (con mm); "Speakers 2" the default playback device (com); no default recording device.'

check sessions crlf \
'AppMute  id 21  result 1  volume 50%  mute off  clock -
  session my player.exe  process 320  volume 90%  mute on
  session player.exe  process 321  volume 100%  mute off
AppVolumeDown(10)  id 5010  result 0  volume 50%  mute off  clock -
  session: none that the focused application'"'"'s commands change' \
'AppMute returned 1: volume 50%, mute off, the clock not watched; the session of my player.exe (process 320) at 90%, muted; the session of player.exe (process 321) at 100%, not muted.
AppVolumeDown(10) returned 0: volume 50%, mute off, the clock not watched; no session of the program in front.'

exit $status
