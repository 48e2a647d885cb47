# 32-bit Windows with Debian's mingw-w64, the POSIX threading flavour of the
# compilers. Test programs run under Wine through tools/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# tools/wine-run for 32-bit Wine; the emulator runs it on this tree's prefix.
set(VOLUME_WINE_ARCH 32)
set(VOLUME_WINE_RUN env VOLUME_WINE_ARCH=32
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VOLUME_WINE_RUN} ${CMAKE_BINARY_DIR}/wine)
