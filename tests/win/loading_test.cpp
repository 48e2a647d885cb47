/*
 * Loading the DLL as the host does: by path, exports by undecorated name
 * or by ordinal, called with the standard Windows convention.
 */
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_test.h"
#include "stack_probe.h"

/* Alphabetical, which is also the order of the ordinals 1..6. */
static const char *const EXPORT_NAMES[] = {
    "KSTEvent_Execute", "KSTEvent_FreePluginInfo",
    "KSTEvent_Init",    "KSTEvent_InitPluginInfo",
    "KSTEvent_Unload",  "KSTEvent_WindowsHook"};
static const size_t EXPORT_COUNT = sizeof EXPORT_NAMES / sizeof *EXPORT_NAMES;

static const IMAGE_DATA_DIRECTORY &imageDirectory(HMODULE module, int entry) {
  const unsigned char *base = (const unsigned char *)module;
  const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)base;
  const IMAGE_NT_HEADERS32 *nt =
      (const IMAGE_NT_HEADERS32 *)(base + dos->e_lfanew);
  return nt->OptionalHeader.DataDirectory[entry];
}

static const char *atRva(HMODULE module, DWORD rva) {
  return (const char *)module + rva;
}

class LoadingTest : public PluginTest {};

TEST_F(LoadingTest, ExportsResolveByNameAndByAlphabeticalOrdinal) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(nullptr));
  for (size_t i = 0; i < EXPORT_COUNT; i++) {
    SCOPED_TRACE(EXPORT_NAMES[i]);
    FARPROC byName = GetProcAddress(plugin.module, EXPORT_NAMES[i]);
    FARPROC byOrdinal = GetProcAddress(plugin.module, MAKEINTRESOURCEA(i + 1));
    ASSERT_NE(nullptr, byName);
    EXPECT_EQ(byName, byOrdinal);
  }
}

TEST_F(LoadingTest, ExportTableHoldsExactlyTheSixNames) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(nullptr));
  const IMAGE_DATA_DIRECTORY &entry =
      imageDirectory(plugin.module, IMAGE_DIRECTORY_ENTRY_EXPORT);
  ASSERT_NE(0u, entry.VirtualAddress);
  const IMAGE_EXPORT_DIRECTORY *exports = (const IMAGE_EXPORT_DIRECTORY *)atRva(
      plugin.module, entry.VirtualAddress);
  EXPECT_EQ(1u, exports->Base);
  EXPECT_EQ(EXPORT_COUNT, exports->NumberOfFunctions);
  ASSERT_EQ(EXPORT_COUNT, exports->NumberOfNames);
  const DWORD *names =
      (const DWORD *)atRva(plugin.module, exports->AddressOfNames);
  const WORD *ordinals =
      (const WORD *)atRva(plugin.module, exports->AddressOfNameOrdinals);
  for (size_t i = 0; i < EXPORT_COUNT; i++) {
    EXPECT_STREQ(EXPORT_NAMES[i], atRva(plugin.module, names[i]));
    EXPECT_EQ(i, (size_t)ordinals[i]) << "ordinal of " << EXPORT_NAMES[i];
  }
}

static std::string lowerCase(std::string text) {
  for (char &c : text)
    c = (char)tolower((unsigned char)c);
  return text;
}

/* The user drops one file beside the host: no compiler runtime DLL
 * (libgcc_s_*, libstdc++-*, libwinpthread-*) may be needed. */
TEST_F(LoadingTest, ImportsNoCompilerRuntimeLibrary) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(nullptr));
  const IMAGE_DATA_DIRECTORY &entry =
      imageDirectory(plugin.module, IMAGE_DIRECTORY_ENTRY_IMPORT);
  ASSERT_NE(0u, entry.VirtualAddress);
  const IMAGE_IMPORT_DESCRIPTOR *import =
      (const IMAGE_IMPORT_DESCRIPTOR *)atRva(plugin.module,
                                             entry.VirtualAddress);
  std::vector<std::string> libraries;
  for (; import->Name != 0; import++)
    libraries.push_back(lowerCase(atRva(plugin.module, import->Name)));
  EXPECT_FALSE(libraries.empty());
  for (const std::string &library : libraries)
    EXPECT_NE(0u, library.rfind("lib", 0))
        << library << " is a compiler runtime library";
}

/* The arguments are harmless: an identifier outside every command range,
 * a hook call with nothing in it. */
TEST_F(LoadingTest, EveryExportPopsItsOwnArguments) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(nullptr));
  const uint32_t path = (uint32_t)(uintptr_t)plugin.dllPath.c_str();
  uint32_t returned = 0;
  const uint32_t executeArguments[] = {999, 0};
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.execute,
                                    executeArguments, 2, &returned));
  EXPECT_EQ(0u, returned);
  const uint32_t initArguments[] = {path, 0};
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.init,
                                    initArguments, 2, &returned));
  EXPECT_EQ(1u, returned);
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.initPluginInfo,
                                    &path, 1, &returned));
  ASSERT_NE(0u, returned);
  const uint32_t info = returned;
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.freePluginInfo,
                                    &info, 1, &returned));
  const uint32_t hookArguments[] = {0, 0, 0};
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.windowsHook,
                                    hookArguments, 3, &returned));
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.unload,
                                    nullptr, 0, &returned));
}

/* A convention mismatch would move the stack by the argument size on
 * every call; hundreds of calls would wreck this frame. */
TEST_F(LoadingTest, ManyCallsInALoopKeepTheCallerIntact) {
  ASSERT_NO_FATAL_FAILURE(startWithSettings("[Command]\r\nUpDown0=5\r\n"));
  const uint32_t canary = 0x5EED1234u;
  volatile uint32_t guard = canary;
  int failures = 0;
  for (int i = 0; i < 500; i++) {
    failures += plugin.exports.execute(999, 0) != 0;
    failures += plugin.exports.init(plugin.dllPath.c_str(), 0) != 1;
    plugin.exports.windowsHook((uint32_t)i, 0, 0);
    if (i % 10 == 0) {
      PluginInfo *info = plugin.exports.initPluginInfo(plugin.dllPath.c_str());
      failures += info == nullptr || readU32(info, INFO_COMMAND_COUNT) != 3;
      plugin.exports.freePluginInfo(info);
    }
  }
  plugin.exports.unload();
  EXPECT_EQ(0, failures);
  EXPECT_EQ(canary, guard);
}

/* KSTEvent_Init succeeds whatever the settings file holds, or without
 * one; what it reads is checked through the commands' effects. */
TEST_F(LoadingTest, InitReturnsOneWithAnySettingsFile) {
  const char *const settingsFiles[] = {
      nullptr, "", "[Setting]\r\nVolComponentType=17\r\n",
      "[Setting]\r\nVolComponentType=not a number\r\n",
      "\xff\xfe garbage \x83\x7b\r\n[[\r\n"};
  for (const char *settings : settingsFiles) {
    SCOPED_TRACE(settings ? settings : "(no settings file)");
    ASSERT_NO_FATAL_FAILURE(loadWithSettings(settings));
    EXPECT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
    removePlugin(&plugin);
  }
}
