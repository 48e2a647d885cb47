#!/bin/sh
# The release zip as a user gets it:
#
#   check-zip.sh WORK CPACK CONFIG ZIP_NAME BUILT_DLL SOURCE_DIR PLUGHOST
#                OBJDUMP EMULATOR...
#
# makes the zip with CPack from the build's own configuration (what
# `--target package` runs), unpacks it into WORK and checks that it holds
# the five files and the display's eight pictures and nothing else, that its
# DLL and plughost.exe are byte for byte the ones the tests load and its
# pictures those of docs/, that plughost.exe is a 32-bit program that
# imports nothing but Windows' own DLLs, that the texts are what Notepad on
# a Japanese Windows reads, and, under Wine, with the zip's own
# plughost.exe, that the DLL loads from the unpacked folder, reads the
# shipped volume.ini through kernel32, finds no problem in it and gives the
# command table both guides document, and that it runs commands.
set -eu
work=$1 cpack=$2 config=$3 name=$4 dll=$5 source=$6 plughost=$7 objdump=$8
shift 8 # the rest: the emulator that runs Windows programs

fail() {
  echo "check-zip: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work/unpacked"
"$cpack" --config "$config" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
zip=$work/$name.zip
[ -f "$zip" ] || fail "no $name.zip: $(cat "$work/cpack.log")"
(cd "$work/unpacked" && cmake -E tar xf "$zip")

# ---- What the zip holds ------------------------------------------------

listing=$(cd "$work/unpacked" && find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
pictures="./display-app.png ./display-device.png ./display-level.png"
pictures="$pictures ./display-microphone-level.png ./display-microphone.png"
pictures="$pictures ./display-mute.png ./display-named.png ./display-program.png"
[ "$listing" = "$pictures ./guide-en.txt ./guide-ja.txt ./plughost.exe ./volume.dll ./volume.ini " ] ||
  fail "the zip holds: $listing"
cmp "$dll" "$work/unpacked/volume.dll" ||
  fail "the zip's volume.dll is not the one the tests load"
cmp "$plughost" "$work/unpacked/plughost.exe" ||
  fail "the zip's plughost.exe is not the one the tests run"
for picture in $pictures; do
  cmp "$source/docs/$picture" "$work/unpacked/$picture" ||
    fail "the zip's $picture is not the one in docs/"
done

# Every line ends in CRLF (Notepad before Windows 10 shows LF-only text as
# one line); no byte order mark; the Japanese texts are valid code page 932
# and not left in UTF-8, which Notepad on Windows XP to 7 reads as ANSI.
for text in guide-en.txt guide-ja.txt volume.ini; do
  file=$work/unpacked/$text
  lines=$(tr -cd '\n' <"$file" | wc -c)
  crlf=$(LC_ALL=C grep -c "$(printf '\r')\$" "$file" || true)
  [ "$lines" -gt 0 ] && [ "$lines" -eq "$crlf" ] ||
    fail "$text: $crlf of $lines lines end in CRLF"
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" != efbbbf ] ||
    fail "$text starts with a UTF-8 byte order mark"
done
for text in guide-ja.txt volume.ini; do
  iconv -f CP932 -t UTF-8 <"$work/unpacked/$text" >"$work/$text.utf-8" ||
    fail "$text is not code page 932"
  ! iconv -f UTF-8 -t UTF-8 <"$work/unpacked/$text" >/dev/null 2>&1 ||
    fail "$text is UTF-8, not code page 932"
  tr -d '\r' <"$work/$text.utf-8" | cmp -s - "$source/$(
    [ "$text" = volume.ini ] && echo resources || echo docs)/$text" ||
    fail "$text does not say what its source says"
done

# plughost.exe runs as it comes on 32-bit and 64-bit Windows alike: an
# i386 image whose imports are Windows' own DLLs, with no MinGW runtime to
# carry beside it.
. "$(dirname "$0")/../dll/windows-imports.sh"
dump=$("$objdump" -p "$work/unpacked/plughost.exe") ||
  fail "objdump cannot read plughost.exe"
echo "$dump" | grep -q 'file format pei-i386$' ||
  fail "plughost.exe is not an i386 image: $(echo "$dump" | grep 'file format')"
imports=$(imports_of "$dump")
[ -n "$imports" ] || fail "plughost.exe has no import table"
for import in $(not_windows_own $imports); do
  fail "plughost.exe imports $import, which is not one of Windows' own DLLs"
done

# ---- Under Wine, from the unpacked folder ------------------------------

if [ $# -eq 0 ]; then
  echo "check-zip: no Wine on this machine: the unpacked DLL was not loaded"
  exit 0
fi

# The zip's plughost.exe, from the folder it was unpacked into, as the
# guides have a user run it. `plughost check` finds nothing wrong in the
# shipped settings, read by kernel32's profile reader.
plughost=$work/unpacked/plughost.exe
(cd "$work/unpacked" && LC_ALL=ja_JP.UTF-8 "$@" "$plughost" check volume.dll) \
  >"$work/check.txt" ||
  fail "plughost check found problems in the shipped settings: $(cat "$work/check.txt")"
[ "$(tr -d '\r' <"$work/check.txt" | tail -n 1)" = "no problem found" ] ||
  fail "plughost check said: $(cat "$work/check.txt")"

# `plughost info` loads the DLL with LoadLibraryA from the folder (the
# program's own, which the loader searches first) and asks for the
# information record: the command table comes from the shipped volume.ini,
# read by kernel32's profile reader. The ANSI code page is 932, as on a
# Japanese Windows, so the comments are read as Japanese.
(cd "$work/unpacked" && LC_ALL=ja_JP.UTF-8 "$@" "$plughost" info volume.dll) \
  >"$work/info.txt" || fail "plughost info failed: $(cat "$work/info.txt")"
# Spaces collapsed: the table as plughost prints it, and as each guide
# shows it (the Japanese one with the captions, the English one with the
# identifiers and names).
squeeze() { sed 's/\r$//; s/^ *//; s/  */ /g'; }
sed -n '/^commands /,$p' "$work/info.txt" | sed 1d | squeeze >"$work/table.txt"
tr -d '\r' <"$work/guide-ja.txt.utf-8" | sed -n '/^  番号 /,/^$/p' |
  sed '1d;$d' | squeeze >"$work/table-ja.txt"
tr -d '\r' <"$work/unpacked/guide-en.txt" |
  sed -n '/^  identifier  name/,/^$/p' | sed '1d;$d' | squeeze |
  cut -d' ' -f1,2 >"$work/table-en.txt"
[ -s "$work/table.txt" ] || fail "no command table: $(cat "$work/info.txt")"
diff "$work/table-ja.txt" "$work/table.txt" >&2 ||
  fail "guide-ja.txt's table is not what the shipped volume.ini gives"
cut -d' ' -f1,2 "$work/table.txt" | diff "$work/table-en.txt" - >&2 ||
  fail "guide-en.txt's table is not what the shipped volume.ini gives"

# Running commands: in a copy of the folder whose volume.ini is the shipped
# one with VolEndpoint=0. The shipped VolEndpoint=1 asks for the device's
# endpoint volume, which Wine does not implement (its commands would return
# 0 here); the classic mixer is what Wine can show working. The DLL is the
# same file, so it still loads and runs as unpacked.
cp -R "$work/unpacked" "$work/classic"
LC_ALL=C sed 's/^VolEndpoint=1/VolEndpoint=0/' "$work/unpacked/volume.ini" \
  >"$work/classic/volume.ini"
LC_ALL=C grep -q '^VolEndpoint=0' "$work/classic/volume.ini" ||
  fail "the shipped volume.ini has no VolEndpoint=1 line to turn off"
(cd "$work/classic" && "$@" "$work/classic/plughost.exe" run --taskbar volume.dll \
  "Set(50)" "VolumeDown(10)" Mute) >"$work/run.txt" ||
  fail "plughost run failed: $(cat "$work/run.txt")"
expected="Set(50)  id 3050  result 1  volume 50%  mute off  clock notified (0 -> 1)
VolumeDown(10)  id 2010  result 1  volume 40%  mute off  clock notified (1 -> 2)
Mute  id 1  result 1  volume 40%  mute on  clock notified (2 -> 3)"
[ "$(tr -d '\r' <"$work/run.txt")" = "$expected" ] ||
  fail "the unpacked plug-in ran as: $(cat "$work/run.txt")"
echo "check-zip: $name.zip holds the tested DLL and plughost, the settings and guides; it loads, checks and runs"
