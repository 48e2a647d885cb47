/*
 * Entry point of the Windows-side tests.
 *
 * Every test process runs on a desktop of its own. The plug-in finds the
 * taskbar clock with FindWindowA, which searches the calling thread's
 * desktop; CTest runs several test processes at once under one Wine
 * server, and without this a process could find (and block on) another
 * process's stand-in taskbar.
 */
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

static bool movesToPrivateDesktop(void) {
  std::string name = "volume-test-" + std::to_string(GetCurrentProcessId());
  HDESK desktop =
      CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  return desktop != nullptr && SetThreadDesktop(desktop);
}

int main(int argc, char **argv) {
  /* CMake reads the test list line by line and does not expect the "\r"
   * that text mode would add to every line. */
  _setmode(_fileno(stdout), _O_BINARY);
  ::testing::InitGoogleTest(&argc, argv);
  if (!movesToPrivateDesktop()) {
    std::fprintf(stderr, "cannot create a private desktop (error %lu)\n",
                 GetLastError());
    return 1;
  }
  return RUN_ALL_TESTS();
}
