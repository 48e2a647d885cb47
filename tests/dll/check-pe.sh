#!/bin/sh
# Reads a Windows image's headers with the cross objdump and checks what
# the host's loader and the user's machine rely on:
#   - a PE32 image for i386 flagged as a DLL: the host is a 32-bit process;
#   - exactly the six entry points the host looks up by name, undecorated
#     (no "_" or "@N" from __stdcall), with ordinals 1 to 6 in name order;
#   - imports from Windows' own DLLs only: an import of libstdc++-6.dll,
#     libgcc_s_*.dll or libwinpthread-1.dll would stop the plug-in loading
#     on any machine without MinGW's runtime beside the host;
#   - none of the functions newer than Windows XP that the plug-in looks
#     up when it needs them: imported, they would stop it loading on XP;
#   - every return instruction each export can reach (calls aside) pops
#     exactly the export's arguments, as __stdcall in plugin.h declares
#     them: the host pushes them and leaves the popping to the callee, and
#     a wrong count moves the host's stack on every call. This is what a
#     32-bit host would see of the calling convention without running it.
#
#   check-pe.sh OBJDUMP FILE
#
# Prints every problem found and exits 1 if there was any.
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 OBJDUMP FILE" >&2
  exit 2
fi
objdump=$1
file=$2

expected_exports='1 KSTEvent_Execute
2 KSTEvent_FreePluginInfo
3 KSTEvent_Init
4 KSTEvent_InitPluginInfo
5 KSTEvent_Unload
6 KSTEvent_WindowsHook'
# Lower case: Windows compares module names without regard to case, and
# the import libraries spell them variously (KERNEL32.dll, WINMM.DLL).
. "$(dirname "$0")/windows-imports.sh"
newer_than_xp='QueryFullProcessImageNameW QueryFullProcessImageNameA
  SetThreadDpiAwarenessContext GetDpiForMonitor'

problems=0
problem() {
  echo "check-pe: $file: $*"
  problems=$((problems + 1))
}

if ! dump=$("$objdump" -p "$file" 2>&1); then
  problem "format: objdump cannot read it: $(echo "$dump" | head -n 1)"
  exit 1
fi

# ---- Format: "pei-i386" is a PE image whose COFF machine is i386; the
# optional header's magic 0x10b makes it PE32 rather than PE32+.
echo "$dump" | grep -q 'file format pei-i386$' ||
  problem "format: not a PE image for i386 ($(echo "$dump" |
    sed -n 's/.*file format //p' | head -n 1))"
echo "$dump" | grep -qE '^Magic[[:space:]]+010b[[:space:]]' ||
  problem "format: not PE32 (optional header magic is not 010b)"
# objdump lists the characteristic flags one per line under the heading.
echo "$dump" | awk '
  /^Characteristics/ { flags = 1; next }
  flags && /^$/ { exit }
  flags && $1 == "DLL" { dll = 1 }
  END { exit !dll }' ||
  problem "format: not a DLL (the DLL characteristic is not set)"

# ---- Exports: the name pointer table gives each name with its index in
# the address table; the ordinal is that index plus the ordinal base.
exports=$(echo "$dump" | awk '
  /^Ordinal Base/ { base = $3 }
  /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
  names && /^$/ { names = 0 }
  names { gsub(/[][]/, " "); print $1 + base, $2 }' | sort -n)
if [ "$exports" != "$expected_exports" ]; then
  problem "exports: the export table differs; ordinal and name expected:"
  echo "$expected_exports" | sed 's/^/    /'
  echo "  found:"
  echo "${exports:-(no export table)}" | sed 's/^/    /'
fi

# ---- Imports: every "DLL Name:" line of the import tables.
imports=$(imports_of "$dump")
[ -n "$imports" ] || problem "imports: no import table at all"
for dll in $(not_windows_own $imports); do
  problem "imports: $dll is not one of Windows' own DLLs"
done

# The functions: the hint/name lines below each "DLL Name:".
functions=$(echo "$dump" | awk '/^\tDLL Name: / { names = 1; next }
  names && /^\t[0-9a-f]+\t/ { print $3 }')
for function in $newer_than_xp; do
  case " $(echo $functions) " in
  *" $function "*) problem "imports: $function is newer than Windows XP" ;;
  esac
done

# ---- Argument bytes popped by each export: 4 per 32-bit argument.
popped_bytes='KSTEvent_Execute 8
KSTEvent_FreePluginInfo 4
KSTEvent_Init 8
KSTEvent_InitPluginInfo 4
KSTEvent_Unload 0
KSTEvent_WindowsHook 12'

# The export address table gives each ordinal's address (relative to the
# image base).
image_base=$(echo "$dump" | awk '/^ImageBase/ { print $2 }')
entries=$(echo "$dump" | awk '
  /^Export Address Table -- / { table = 1; next }
  table && /^$/ { table = 0 }
  table && /Export RVA/ { gsub(/[][+]/, " "); print $3, $4 }')

# The pops of the return instructions reachable from an address without
# going through a call, one a line: control is followed through every
# jump (a tail call's ret returns to the host too); an indirect jump ends
# the path, since its target cannot be read here.
reachable_pops() {
  echo "$listing" | awk -v start="$1" '
    function key(hex) { sub(/^(0x)?0*/, "", hex); return hex }
    { address = key($1); order[++n] = address
      mnemonic[address] = $2; operand[address] = $3 }
    END {
      for (i = 1; i < n; i++) next_of[order[i]] = order[i + 1]
      queue[++tail] = key(start)
      while (head < tail) {
        at = queue[++head]
        if (seen[at]++ || !(at in mnemonic)) continue
        m = mnemonic[at]; o = operand[at]
        if (m ~ /^ret/) { print (o == "" ? "0x0" : substr(o, 2)); continue }
        if (m ~ /^(int3|ud2|hlt)$/) continue
        if (m ~ /^(jmp|j[a-z]+|loop[a-z]*)$/ && o ~ /^0x/)
          queue[++tail] = key(o)
        if (m == "jmp") continue
        queue[++tail] = next_of[at]
      }
    }' | while read -r pop; do echo $((pop)); done | sort -un |
    tr '\n' ' ' | sed 's/ $//; s/ / or /g'
}

if ! listing=$("$objdump" -d --no-show-raw-insn "$file" 2>&1); then
  problem "pops: objdump cannot disassemble it"
  listing=
fi
listing=$(echo "$listing" | grep -E '^ *[0-9a-f]+:' | sed 's/://')
mismatches=$(mktemp)
echo "$popped_bytes" | while read -r name bytes; do
  ordinal=$(echo "$exports" | awk -v name="$name" '$2 == name { print $1 }')
  rva=$(echo "$entries" | awk -v ordinal="$ordinal" '$1 == ordinal { print $2 }')
  [ -n "$rva" ] || continue # already reported as an export table problem
  pops=$(reachable_pops "$(printf %x $((0x$image_base + 0x$rva)))")
  if [ -z "$pops" ]; then
    echo "$name: no return instruction found from its entry"
  elif [ "$pops" != "$bytes" ]; then
    echo "$name pops $pops bytes, not $bytes"
  fi
done >"$mismatches"
while read -r line; do
  problem "pops: $line"
done <"$mismatches"
rm -f "$mismatches"

[ "$problems" -eq 0 ] || exit 1
echo "check-pe: $file: a PE32 i386 DLL; exports and imports as expected;"
echo "  each export pops exactly its arguments"
