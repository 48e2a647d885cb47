/*
 * Odd places the plug-in can find itself in, as only the real system
 * shows them: a folder so deep that the module name no longer fits the
 * plug-in's buffer, and a settings file that is a folder, that another
 * program holds locked, or that is ten megabytes long. The plug-in must
 * neither crash nor guess: it reads the right values or keeps its
 * defaults.
 */
#include <cstring>
#include <string>
#include <vector>

#include "plugin_test.h"

/* Settings that differ from every default: the volume commands would act
 * on the headphones line, which Wine's device 0 lacks, and the table
 * would offer four commands instead of Mute alone. */
static const char DISTINCT_SETTINGS[] = "[Setting]\r\nVolComponentType=5\r\n"
                                        "[Command]\r\nUpDown0=7\r\nSet0=42\r\n";

/* What a plug-in started from this path shows: the table's size and
 * whether Set(50) moved the speakers. */
static void expectSettingsRead(const PluginExports &exports, const char *path,
                               const MixerLineView &speakers, bool read) {
  ASSERT_EQ(1, exports.init(path, 0));
  PluginInfo *info = exports.initPluginInfo(path);
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(read ? 4u : 1u, readU32(info, INFO_COMMAND_COUNT));
  if (read) {
    EXPECT_EQ(3042u, readU32(commandRecord(info, 2), COMMAND_ID));
  }
  exports.freePluginInfo(info);
  EXPECT_EQ(read ? 0 : 1, exports.execute(3050, 0));
  if (!read) {
    EXPECT_TRUE(volumeIsPercent(speakers, 50));
  }
}

/* ---- A folder deeper than MAX_PATH ---------------------------------- */

static std::wstring widened(const std::string &ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

/* Paths of any length go through the wide calls with the \\?\ prefix. */
static std::wstring extendedPath(const std::string &path) {
  return L"\\\\?\\" + widened(path);
}

static const char DLL_NAME[] = "volume.dll";

static bool writeLongPathFile(const std::string &path, const char *text) {
  HANDLE file =
      CreateFileW(extendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD length = (DWORD)strlen(text), written = 0;
  BOOL ok = WriteFile(file, text, length, &written, nullptr);
  CloseHandle(file);
  return ok && written == length;
}

/* The plug-in copied into nested folders so that its full name has
 * exactly the wanted length. */
struct DeepPlugin {
  std::vector<std::string> folders; /* outermost first */
  std::string dllPath;
  std::string settingsPath;
  HMODULE module;
  PluginExports exports;
};

static bool addFolder(DeepPlugin *deep, const std::string &folder) {
  if (!CreateDirectoryW(extendedPath(folder).c_str(), nullptr))
    return false;
  deep->folders.push_back(folder);
  return true;
}

/* A folder name of this many characters for the next level down. */
static std::string nameOfLength(size_t length) {
  return std::string(length, (char)('a' + length % 26));
}

static ::testing::AssertionResult installDeep(DeepPlugin *deep,
                                              size_t pathLength) {
  char temp[MAX_PATH];
  DWORD tempLength = GetTempPathA(MAX_PATH, temp);
  if (tempLength == 0 || tempLength >= MAX_PATH)
    return ::testing::AssertionFailure() << "no temporary folder";
  std::string folder = std::string(temp) + "volume-deep-" +
                       std::to_string(GetCurrentProcessId());
  if (!addFolder(deep, folder))
    return ::testing::AssertionFailure() << "cannot create " << folder;
  /* folder + "\" + DLL_NAME has the wanted length. */
  const size_t folderLength = pathLength - 1 - (sizeof DLL_NAME - 1);
  while (folder.size() < folderLength) {
    size_t left = folderLength - folder.size(); /* "\" and a name */
    size_t name = left - 1 > 100 ? 100 : left - 1;
    if (left - (name + 1) == 1)
      name--; /* a last level of one character would need two */
    folder += "\\" + nameOfLength(name);
    if (!addFolder(deep, folder))
      return ::testing::AssertionFailure() << "cannot create a level";
  }
  deep->dllPath = folder + "\\" + DLL_NAME;
  deep->settingsPath = folder + "\\volume.ini";
  if (!CopyFileW(widened(builtPluginPath()).c_str(),
                 extendedPath(deep->dllPath).c_str(), TRUE))
    return ::testing::AssertionFailure() << "cannot copy the plug-in";
  if (!writeLongPathFile(deep->settingsPath, DISTINCT_SETTINGS))
    return ::testing::AssertionFailure() << "cannot write the settings";
  /* An ANSI host cannot name a file this long; a Unicode host can. */
  deep->module = LoadLibraryW(extendedPath(deep->dllPath).c_str());
  if (!deep->module)
    return ::testing::AssertionFailure()
           << "LoadLibraryW failed (error " << GetLastError() << ")";
  MissingExports missing;
  if (!kitFindExports(deep->module, &deep->exports, &missing))
    return ::testing::AssertionFailure()
           << "lacks the export " << missing.names[0];
  return ::testing::AssertionSuccess();
}

static void removeDeep(DeepPlugin *deep) {
  if (deep->module)
    FreeLibrary(deep->module);
  if (!deep->dllPath.empty()) {
    DeleteFileW(extendedPath(deep->dllPath).c_str());
    DeleteFileW(extendedPath(deep->settingsPath).c_str());
  }
  for (size_t i = deep->folders.size(); i-- > 0;)
    RemoveDirectoryW(extendedPath(deep->folders[i]).c_str());
  *deep = DeepPlugin();
}

struct DepthCase {
  size_t pathLength; /* characters in the plug-in's full name */
  bool settingsRead;
};

static void PrintTo(const DepthCase &depth, std::ostream *out) {
  *out << depth.pathLength << " characters";
}

/* The module name fits the plug-in's MAX_PATH buffer up to 259
 * characters; from 260 on GetModuleFileNameA cuts it short, and a name
 * cut short names no settings file. */
static const DepthCase DEPTH_CASES[] = {
    {259, true}, {260, false}, {261, false}, {400, false}, {1000, false}};

class DeepFolderTest : public PluginTest,
                       public ::testing::WithParamInterface<DepthCase> {
protected:
  void TearDown() override {
    removeDeep(&deep);
    PluginTest::TearDown();
  }
  DeepPlugin deep = {};
};

TEST_P(DeepFolderTest, SettingsAreReadOnlyWhenTheNameFits) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(20000, 0));
  ASSERT_TRUE(installDeep(&deep, GetParam().pathLength));
  ASSERT_EQ(GetParam().pathLength, deep.dllPath.size());
  /* The host hands over its own idea of the path; the plug-in goes by
   * the module's name in either case. */
  expectSettingsRead(deep.exports, deep.dllPath.c_str(), speakers,
                     GetParam().settingsRead);
  deep.exports.unload();
}

INSTANTIATE_TEST_SUITE_P(PathLength, DeepFolderTest,
                         ::testing::ValuesIn(DEPTH_CASES));

/* ---- Settings files the profile reader cannot use ------------------- */

class OddSettingsFileTest : public PluginTest {
protected:
  void TearDown() override {
    if (lock != INVALID_HANDLE_VALUE)
      CloseHandle(lock);
    if (!plugin.settingsPath.empty())
      RemoveDirectoryA(plugin.settingsPath.c_str());
    PluginTest::TearDown();
  }

  void installWithoutSettings(void) {
    ASSERT_NO_FATAL_FAILURE(presetSpeakers(20000, 0));
    ASSERT_TRUE(installPlugin(&plugin, nullptr));
  }

  void expectStartedWithSettings(bool read) {
    ASSERT_TRUE(loadPlugin(&plugin));
    expectSettingsRead(plugin.exports, plugin.dllPath.c_str(), speakers, read);
  }

  HANDLE lock = INVALID_HANDLE_VALUE;
};

TEST_F(OddSettingsFileTest, AFolderInItsPlaceMeansDefaults) {
  ASSERT_NO_FATAL_FAILURE(installWithoutSettings());
  ASSERT_TRUE(CreateDirectoryA(plugin.settingsPath.c_str(), nullptr));
  expectStartedWithSettings(false);
}

/* Root on Linux reads any file whatever its mode, so the one refusal
 * Wine shows every user is another program's lock: a file opened with no
 * sharing at all. */
TEST_F(OddSettingsFileTest, AFileLockedByAnotherProgramMeansDefaults) {
  ASSERT_NO_FATAL_FAILURE(installWithoutSettings());
  ASSERT_TRUE(writeFileBytes(plugin.settingsPath, DISTINCT_SETTINGS));
  lock = CreateFileA(plugin.settingsPath.c_str(), GENERIC_READ, 0, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  expectStartedWithSettings(false);
}

static const size_t TEN_MEGABYTES = 10u << 20;

/* Ten megabytes of comment lines before the settings. */
static std::string afterManyComments(void) {
  std::string line = "; " + std::string(60, '-') + "\r\n";
  std::string text;
  text.reserve(TEN_MEGABYTES + 100);
  while (text.size() < TEN_MEGABYTES)
    text += line;
  return text + DISTINCT_SETTINGS;
}

/* One line of ten megabytes, a key's value, before the settings. */
static std::string afterOneHugeLine(void) {
  return "[Padding]\r\nLong=" + std::string(TEN_MEGABYTES, '7') + "\r\n" +
         DISTINCT_SETTINGS;
}

TEST_F(OddSettingsFileTest, TenMegabytesOfCommentsAreReadThrough) {
  ASSERT_NO_FATAL_FAILURE(installWithoutSettings());
  ASSERT_TRUE(writeFileBytes(plugin.settingsPath, afterManyComments()));
  expectStartedWithSettings(true);
}

TEST_F(OddSettingsFileTest, ALineOfTenMegabytesIsReadThrough) {
  ASSERT_NO_FATAL_FAILURE(installWithoutSettings());
  ASSERT_TRUE(writeFileBytes(plugin.settingsPath, afterOneHugeLine()));
  expectStartedWithSettings(true);
}
