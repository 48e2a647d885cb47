# Sourced by check-pe.sh and check-zip.sh: the DLLs every Windows from XP on
# has, the only ones a shipped program may import. The C++ runtime is linked
# in statically: an import of libstdc++-6.dll, libgcc_s_*.dll or
# libwinpthread-1.dll would stop the program loading on any machine without
# MinGW's runtime beside it.
system_dlls='kernel32.dll user32.dll gdi32.dll winmm.dll version.dll ole32.dll msvcrt.dll'

# The DLLs an image imports, from `objdump -p`'s text, in lower case:
# Windows compares module names without regard to case.
imports_of() {
  echo "$1" | awk '/^\tDLL Name: / { print tolower($3) }'
}

# Those of the DLLs named that are not Windows' own, one a line.
not_windows_own() {
  for dll in "$@"; do
    case " $system_dlls " in
    *" $dll "*) ;;
    *) echo "$dll" ;;
    esac
  done
}
