#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "mixer/mixer.h"
#include "plugin/settings.h"
#include "sim/sim.h"

void fuzzFail(const char *condition, const char *file, int line) {
  fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  abort();
}

static std::string folder;

static void removeFolder(void) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

const std::string &fuzzFolder(void) {
  if (folder.empty()) {
    /* Every input writes a file: in memory where there is such a place. */
    const char *base = getenv("TMPDIR");
    if (!base)
      base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/volume-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    folder = pattern;
    atexit(removeFolder);
  }
  return folder;
}

void fuzzWriteFile(const std::string &name, const std::string &bytes) {
  std::string path = fuzzFolder() + "/" + name;
  FILE *file = fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr);
  FUZZ_CHECK(fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
  FUZZ_CHECK(fclose(file) == 0);
}

void fuzzWriteSettings(const std::string &bytes) {
  fuzzWriteFile("volume.ini", bytes);
}

void fuzzResetPlugin(void) {
  static std::string modulePath;
  modulePath = fuzzFolder() + "/volume.dll";
  releaseMixer();
  simMixerReset();
  simEndpointReset();
  simWindowsReset();
  simHeapReset();
  forgetStartupSettings();
  simSetModuleFileName(modulePath.c_str());
}
