#!/bin/sh
# Writes a copy of a DLL whose export NAME pops the wrong number of bytes:
# the first "ret $FROM" at or after the export's entry becomes "ret $TO"
# (the instruction keeps its length). check-pe.sh must reject the copy.
#
#   patch-pop.sh OBJDUMP DLL COPY NAME FROM TO
set -eu
objdump=$1 dll=$2 copy=$3 name=$4 from=$5 to=$6

dump=$("$objdump" -p "$dll")
base=$(echo "$dump" | awk '/^ImageBase/ { print $2 }')
slot=$(echo "$dump" | awk -v name="$name" '
  /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
  names && /^$/ { names = 0 }
  names { gsub(/[][]/, " "); if ($2 == name) print $1 }')
rva=$(echo "$dump" | awk -v slot="$slot" '
  /^Export Address Table -- / { table = 1; next }
  table && /^$/ { table = 0 }
  table && /Export RVA/ { gsub(/[][+]/, " "); if ($1 == slot) print $4 }')
entry=$((0x$base + 0x$rva))
ret=$("$objdump" -d --no-show-raw-insn --start-address=$entry "$dll" |
  awk -v pop="\$$(printf '0x%x' "$from")" '$2 == "ret" && $3 == pop {
    sub(/:$/, "", $1); print $1; exit }')
[ -n "$ret" ] || { echo "patch-pop: no ret $from in $name" >&2; exit 1; }
# The file offset of the address, from the .text section's VMA and offset.
set -- $("$objdump" -h "$dll" | awk '$2 == ".text" { print $4, $6 }')
offset=$((0x$ret - 0x$1 + 0x$2 + 1))
cp "$dll" "$copy"
printf "$(printf '\\%03o' "$to")" |
  dd of="$copy" bs=1 seek=$offset conv=notrunc status=none
