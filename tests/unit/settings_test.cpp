/*
 * Where the settings file is (the module's name with its last three
 * characters replaced) and what KSTEvent_Init reads from it.
 */
#include <cstring>

#include "plugin/plugin.h"
#include "plugin/settings.h"
#include "plugin/settings_path.h"
#include "unit_support.h"

namespace {

class SettingsTest : public PluginTest {};

struct PathRow {
  std::string moduleName;
  std::string settingsPath; /* empty: no settings file */
};

const PathRow PATH_ROWS[] = {
    {"C:\\tools\\plug.dll", "C:\\tools\\plug.ini"},
    {"C:\\tools\\plug.dl_", "C:\\tools\\plug.ini"},
    {"C:\\tools\\plugin", "C:\\tools\\pluini"},
    {"abc", "ini"},
    {"ab", ""},
    {"", ""}, /* the query failed */
    {std::string(259, 'x'), std::string(256, 'x') + "ini"},
    {std::string(260, 'x'), ""}, /* cut short by the query */
    {std::string(400, 'x'), ""},
};

class SettingsPath : public PluginTest,
                     public testing::WithParamInterface<PathRow> {};

TEST_P(SettingsPath, ReplacesLastThreeCharacters) {
  simSetModuleFileName(GetParam().moduleName.c_str());
  char path[SETTINGS_PATH_SIZE];
  memset(path, 0xCC, sizeof path);
  settingsFilePath(path);
  ASSERT_NE(memchr(path, '\0', sizeof path), nullptr) << "unterminated";
  EXPECT_EQ(std::string(path), GetParam().settingsPath);
}

INSTANTIATE_TEST_SUITE_P(ModuleNames, SettingsPath,
                         testing::ValuesIn(PATH_ROWS));

/* The tools find the settings by the same rule with buffers of other
 * sizes: a name filling all but the last character is whole. */
TEST(SettingsPathRule, TakesTheBufferSizeItIsGiven) {
  char name[8] = "ab.dll";
  EXPECT_EQ(1, settingsPathFromModuleName(name, 6, 7));
  EXPECT_STREQ("ab.ini", name);
  char cut[8] = "abc.dll";
  EXPECT_EQ(0, settingsPathFromModuleName(cut, 7, 7));
  EXPECT_STREQ("", cut);
}

struct InitRow {
  const char *name;
  const char *settings; /* null: no file */
  int32_t componentTypeSetting;
};

const InitRow INIT_ROWS[] = {
    {"NoFile", nullptr, 4},
    {"EmptyFile", "", 4},
    {"Microphone", "[Setting]\nVolComponentType=12\n", 12},
    {"Zero", "[Setting]\nVolComponentType=0\n", 0},
    {"AnyCaseAndBlanks", "[setting]\n  volcomponenttype = 19 \n", 19},
    {"EmptyValue", "[Setting]\nVolComponentType=\n", 4},
    {"NegativeKept", "[Setting]\nVolComponentType=-3\n", -3},
    {"OtherSectionName", "[Settings]\nVolComponentType=7\n", 4},
    {"OnlyItsSection",
     "[Command]\nVolComponentType=7\n[Setting]\nVolComponentType=8\n", 8},
};

class InitSettings : public PluginTest,
                     public testing::WithParamInterface<InitRow> {};

/* The value is not range-checked here: the mixer maps unknown ones. */
TEST_P(InitSettings, ReadsVolComponentType) {
  if (GetParam().settings) {
    writeSettings(GetParam().settings);
  }
  EXPECT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE),
            GetParam().componentTypeSetting);
}

INSTANTIATE_TEST_SUITE_P(Files, InitSettings, testing::ValuesIn(INIT_ROWS),
                         rowName<InitRow>);

/* A module name of `length` characters in the folder: .../bbb...b.dll. */
std::string longModuleName(const std::string &folder, size_t length) {
  std::string head = folder + "/";
  return head + std::string(length - head.size() - 4, 'b') + ".dll";
}

TEST_F(SettingsTest, LongestModuleNameStillFindsSettings) {
  std::string name = longModuleName(folder, 259);
  writeFile(name.substr(0, 256) + "ini", "[Setting]\nVolComponentType=7\n");
  simSetModuleFileName(name.c_str());
  EXPECT_EQ(KSTEvent_Init(name.c_str(), 0), 1);
  EXPECT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE), 7);
}

/* The name comes back cut to 259 characters; a file named after the cut
 * name must not be mistaken for the settings. */
TEST_F(SettingsTest, TruncatedModuleNameReadsNoSettings) {
  std::string name = longModuleName(folder, 260);
  writeFile(name.substr(0, 256) + "ini",
            "[Setting]\nVolComponentType=7\n[Command]\nSet0=50\n");
  simSetModuleFileName(name.c_str());
  EXPECT_EQ(KSTEvent_Init(name.c_str(), 0), 1);
  EXPECT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE), 4);
  PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->commandCount, 1u) << "only mute";
  KSTEvent_FreePluginInfo(info);
}

} // namespace
