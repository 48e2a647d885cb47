# 64-bit Windows with Debian's mingw-w64, the POSIX threading flavour of the
# compilers. The product is the 32-bit DLL (mingw-i686.cmake); this build of
# the same sources exists to run the Windows tests under 64-bit Wine where
# 32-bit Wine cannot run. Test programs run through tools/wine-run with
# VOLUME_WINE_ARCH=64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# tools/wine-run for 64-bit Wine; the emulator runs it on this tree's prefix.
set(VOLUME_WINE_ARCH 64)
set(VOLUME_WINE_RUN env VOLUME_WINE_ARCH=64
    ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VOLUME_WINE_RUN} ${CMAKE_BINARY_DIR}/wine)
