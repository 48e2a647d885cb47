/*
 * A stand-in for the host: puts a copy of the built volume.dll, with the
 * settings file a case needs, into a fresh folder, loads it and finds its
 * exports by name; reads the records it returns by byte offset.
 */
#ifndef VOLUME_WIN_TESTS_PLUGIN_HOST_H
#define VOLUME_WIN_TESTS_PLUGIN_HOST_H

#include "fake_core_audio/fake_core_audio.h"
#include "hostkit/hostkit.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

/* One installed and loaded copy of the plug-in. */
struct InstalledPlugin {
  std::string folder;
  std::string dllPath;
  std::string settingsPath; /* volume.ini beside the DLL, maybe absent */
  HMODULE module;
  PluginExports exports;
};

/* The DLL the build produced, copied beside the test program. */
std::string builtPluginPath(void);

/* The fake Core Audio server, loaded from beside the test program and
 * reset to its start; 0 when it cannot be had. *reset may be null. */
int openFakeAudio(HMODULE *fake, FakeAudioState **state,
                  FakeAudioResetFunction *reset);

/* Copies the DLL into a new folder under the temporary directory and,
 * unless settings is null, writes them to volume.ini beside it. */
::testing::AssertionResult installPlugin(InstalledPlugin *plugin,
                                         const char *settings);
/* LoadLibraryA and GetProcAddress of the six exports by name. */
::testing::AssertionResult loadPlugin(InstalledPlugin *plugin);
/* Unloads the DLL and removes its folder with everything in it. */
void removePlugin(InstalledPlugin *plugin);

/* Writes a file with exactly these bytes. */
bool writeFileBytes(const std::string &path, const std::string &bytes);

/* Fields of the host's records, read at byte offsets as the host does. */
uint16_t readU16(const void *record, size_t offset);
uint32_t readU32(const void *record, size_t offset);
const char *readPointer(const void *record, size_t offset);

#if UINTPTR_MAX == 0xFFFFFFFFu
/* PluginInfo: two string pointers at the unaligned offsets 2 and 6. */
enum {
  INFO_NAME = 2,
  INFO_FILE_NAME = 6,
  INFO_KIND_CODE = 10,
  INFO_VERSION_MS = 12,
  INFO_VERSION_LS = 16,
  INFO_COMMAND_COUNT = 20,
  INFO_COMMANDS = 24
};
/* CommandInfo: 32 bytes, the host's five words from offset 12. */
enum {
  COMMAND_SIZE = 32,
  COMMAND_NAME = 0,
  COMMAND_CAPTION = 4,
  COMMAND_ID = 8,
  COMMAND_HOST_WORDS = 12,
  COMMAND_HOST_WORD_COUNT = 5
};
#else
/* The 64-bit build's records: the same fields with 8-byte pointers, the
 * string pointers of PluginInfo at the unaligned offsets 2 and 10. */
enum {
  INFO_NAME = 2,
  INFO_FILE_NAME = 10,
  INFO_KIND_CODE = 18,
  INFO_VERSION_MS = 20,
  INFO_VERSION_LS = 24,
  INFO_COMMAND_COUNT = 28,
  INFO_COMMANDS = 32
};
/* CommandInfo: 40 bytes, the host's five words from offset 20. */
enum {
  COMMAND_SIZE = 40,
  COMMAND_NAME = 0,
  COMMAND_CAPTION = 8,
  COMMAND_ID = 16,
  COMMAND_HOST_WORDS = 20,
  COMMAND_HOST_WORD_COUNT = 5
};
#endif

/* The n-th record of the info's command table. */
const unsigned char *commandRecord(const void *info, uint32_t index);

#endif
