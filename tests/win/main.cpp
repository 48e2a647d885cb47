/*
 * Entry point of the Windows-side tests.
 *
 * Every test process runs on a desktop of its own. The plug-in finds the
 * taskbar clock with FindWindowA, which searches the calling thread's
 * desktop; CTest runs several test processes at once under one Wine
 * server, and without this a process could find (and block on) another
 * process's stand-in taskbar.
 */
#include "hostkit/hostkit.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  /* CMake reads the test list line by line and does not expect the "\r"
   * that text mode would add to every line. */
  _setmode(_fileno(stdout), _O_BINARY);
  ::testing::InitGoogleTest(&argc, argv);
  if (!kitUsePrivateDesktop("volume-test")) {
    std::fprintf(stderr, "cannot create a private desktop (error %lu)\n",
                 GetLastError());
    return 1;
  }
  return RUN_ALL_TESTS();
}
