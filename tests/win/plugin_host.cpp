#include "plugin_host.h"

#include <cstring>

static std::string folderOf(const std::string &path) {
  return path.substr(0, path.find_last_of('\\') + 1);
}

int openFakeAudio(HMODULE *fake, FakeAudioState **state,
                  FakeAudioResetFunction *reset) {
  std::string dll = builtPluginPath();
  dll = dll.substr(0, dll.find_last_of('\\') + 1) + "fake_core_audio.dll";
  *fake = LoadLibraryA(dll.c_str());
  if (!*fake)
    return 0;
  FakeAudioResetFunction resetFake =
      (FakeAudioResetFunction)(void *)GetProcAddress(*fake, "FakeAudioReset");
  FakeAudioGetStateFunction getState =
      (FakeAudioGetStateFunction)(void *)GetProcAddress(*fake,
                                                        "FakeAudioGetState");
  if (!resetFake || !getState)
    return 0;
  resetFake();
  *state = getState();
  if (reset)
    *reset = resetFake;
  return 1;
}

std::string builtPluginPath(void) {
  char program[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  return folderOf(std::string(program, length)) + "volume.dll";
}

/* A folder no other test, in this process or another, is using. */
static bool createFreshFolder(std::string *folder) {
  char temp[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH)
    return false;
  static unsigned serial;
  for (int attempt = 0; attempt < 100; attempt++) {
    *folder = std::string(temp) + "volume-test-" +
              std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++serial) + "\\";
    if (CreateDirectoryA(folder->c_str(), nullptr))
      return true;
  }
  return false;
}

bool writeFileBytes(const std::string &path, const std::string &bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  BOOL ok =
      WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

::testing::AssertionResult installPlugin(InstalledPlugin *plugin,
                                         const char *settings) {
  *plugin = InstalledPlugin();
  if (!createFreshFolder(&plugin->folder))
    return ::testing::AssertionFailure() << "no temporary folder";
  plugin->dllPath = plugin->folder + "volume.dll";
  plugin->settingsPath = plugin->folder + "volume.ini";
  if (!CopyFileA(builtPluginPath().c_str(), plugin->dllPath.c_str(), TRUE))
    return ::testing::AssertionFailure() << "cannot copy " << builtPluginPath()
                                         << " (error " << GetLastError() << ")";
  if (settings && !writeFileBytes(plugin->settingsPath, settings))
    return ::testing::AssertionFailure() << "cannot write the settings";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult loadPlugin(InstalledPlugin *plugin) {
  char reason[512] = "";
  plugin->module =
      kitLoadLibrary(plugin->dllPath.c_str(), reason, sizeof reason);
  if (!plugin->module)
    return ::testing::AssertionFailure() << reason;
  MissingExports missing;
  if (!kitFindExports(plugin->module, &plugin->exports, &missing))
    return ::testing::AssertionFailure()
           << "lacks the export " << missing.names[0];
  return ::testing::AssertionSuccess();
}

/* Deletes the files of a folder (the tests make no subfolders). */
static void emptyFolder(const std::string &folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileA((folder + found.cFileName).c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void removePlugin(InstalledPlugin *plugin) {
  if (plugin->module)
    FreeLibrary(plugin->module);
  if (!plugin->folder.empty()) {
    emptyFolder(plugin->folder);
    RemoveDirectoryA(plugin->folder.c_str());
  }
  *plugin = InstalledPlugin();
}

uint16_t readU16(const void *record, size_t offset) {
  uint16_t value;
  memcpy(&value, (const unsigned char *)record + offset, sizeof value);
  return value;
}

uint32_t readU32(const void *record, size_t offset) {
  uint32_t value;
  memcpy(&value, (const unsigned char *)record + offset, sizeof value);
  return value;
}

const char *readPointer(const void *record, size_t offset) {
  const char *value;
  memcpy(&value, (const unsigned char *)record + offset, sizeof value);
  return value;
}

const unsigned char *commandRecord(const void *info, uint32_t index) {
  const unsigned char *table =
      (const unsigned char *)readPointer(info, INFO_COMMANDS);
  return table + (size_t)index * COMMAND_SIZE;
}
