/*
 * Loading the DLL as the host does: by path, exports by undecorated name
 * or by ordinal. The calling convention is calling_convention_test.cpp's.
 */
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_test.h"

/* Alphabetical, which is also the order of the ordinals 1..6. */
static const char *const EXPORT_NAMES[] = {
    "KSTEvent_Execute", "KSTEvent_FreePluginInfo",
    "KSTEvent_Init",    "KSTEvent_InitPluginInfo",
    "KSTEvent_Unload",  "KSTEvent_WindowsHook"};
static const size_t EXPORT_COUNT = sizeof EXPORT_NAMES / sizeof *EXPORT_NAMES;

static const IMAGE_DATA_DIRECTORY &imageDirectory(HMODULE module, int entry) {
  const unsigned char *base = (const unsigned char *)module;
  const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)base;
  /* The build's own kind of image: PE32, or PE32+ for the 64-bit build. */
  const IMAGE_NT_HEADERS *nt = (const IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
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
