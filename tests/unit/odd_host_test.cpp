/*
 * Hosts that call the exports in unusual orders, and machines whose
 * settings file is not a plain readable file: nothing crashes, settings
 * that cannot be read are defaults, and every result is exact.
 */
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "plugin/plugin.h"
#include "plugin/settings.h"
#include "unit_support.h"

namespace {

class OddHost : public PluginTest {};

TEST_F(OddHost, InitTwiceReadsTheFileAgain) {
  simMixerAddLine(0x1003, 2); /* a microphone */
  writeSettings("[Setting]\nVolComponentType=12\n");
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE), 12);
  writeSettings("[Setting]\nVolComponentType=4\n");
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE), 4);
  EXPECT_EQ(KSTEvent_Execute(3100, 0), 1);
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{65535, 65535}));
  EXPECT_EQ(levelsOf(simMixerLine(0x1003)), (std::vector<uint32_t>{0, 0}));
}

/* Mute never depends on the setting, so it works before KSTEvent_Init. */
TEST_F(OddHost, MuteBeforeInitActsOnSpeakers) {
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(speakers()->mute, 1u);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
}

/* Each record is the host's own: built afresh from the file, sharing no
 * block with the other, freed in any order. */
TEST_F(OddHost, TwoRecordsBeforeEitherIsFreed) {
  writeSettings("[Command]\nSet0=50\n");
  PluginInfo *first = KSTEvent_InitPluginInfo("volume.dll");
  writeSettings("[Command]\nUpDown0=5\n");
  PluginInfo *second = KSTEvent_InitPluginInfo("other.dll");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  long secondBlocks = 4 + 2 * 3;
  EXPECT_EQ(simHeapLiveBlocks(), 4 + 2 * 2 + secondBlocks);
  std::set<const void *> blocks;
  for (const PluginInfo *info : {first, second}) {
    blocks.insert({info, info->name, info->fileName, info->commands});
    for (uint32_t i = 0; i < info->commandCount; i++)
      blocks.insert({info->commands[i].name, info->commands[i].caption});
  }
  EXPECT_EQ(blocks.size(), (size_t)simHeapLiveBlocks()) << "a shared block";
  KSTEvent_FreePluginInfo(first);
  EXPECT_EQ(simHeapLiveBlocks(), secondBlocks);
  ASSERT_EQ(second->commandCount, 3u);
  expectCommand(second->commands[0], up(5));
  EXPECT_STREQ(second->fileName, "other.dll");
  KSTEvent_FreePluginInfo(second);
  EXPECT_EQ(simHeapLiveBlocks(), 0);
}

/* ---- Settings files that are not plain readable files ----------------- */

struct OddFileRow {
  const char *name;
  /* Puts something at the settings path; returns false to skip the case
   * on this machine. */
  bool (*make)(const std::string &path);
  int32_t componentTypeSetting;
  uint32_t commandCount; /* 0: the record is not built (the file is read
                            once per key, too slow for 10 MB here) */
};

bool makeDirectory(const std::string &path) {
  return mkdir(path.c_str(), 0755) == 0;
}

bool makeSymlinkLoop(const std::string &path) {
  return symlink(path.c_str(), path.c_str()) == 0;
}

/* Root reads a file whatever its mode says. */
bool makeUnreadable(const std::string &path) {
  writeFile(path, "[Setting]\nVolComponentType=12\n[Command]\nSet0=50\n");
  return chmod(path.c_str(), 0) == 0 && geteuid() != 0;
}

const size_t TEN_MB = 10u << 20;

/* The keys after 10 MB of comment lines. */
bool makeLongFile(const std::string &path) {
  std::string line = "; " + std::string(97, '-') + "\n";
  std::string text;
  text.reserve(TEN_MB + 100);
  while (text.size() < TEN_MB)
    text += line;
  writeFile(path, text + "[Setting]\nVolComponentType=12\n[Command]\nSet0=5\n");
  return true;
}

/* One line of 10 MB, then the keys. */
bool makeLongLine(const std::string &path) {
  writeFile(path, std::string(TEN_MB, 'x') +
                      "\n[Setting]\nVolComponentType=12\n[Command]\nSet0=5\n");
  return true;
}

/* 10 MB of bytes that hold no key. */
bool makeLongGarbage(const std::string &path) {
  std::string bytes(TEN_MB, '\0');
  uint32_t state = 12345;
  for (char &c : bytes) {
    state = state * 1103515245u + 12345u;
    c = (char)(state >> 24);
    if (c == '=')
      c = '-';
  }
  writeFile(path, bytes);
  return true;
}

const OddFileRow ODD_FILE_ROWS[] = {
    {"Directory", makeDirectory, 4, 1},
    {"SymlinkLoop", makeSymlinkLoop, 4, 1},
    {"NoPermission", makeUnreadable, 4, 1},
    {"TenMegabytesThenKeys", makeLongFile, 12, 0},
    {"TenMegabyteLineThenKeys", makeLongLine, 12, 0},
    {"TenMegabytesWithoutKeys", makeLongGarbage, 4, 0},
};

class OddSettingsFile : public PluginTest,
                        public testing::WithParamInterface<OddFileRow> {};

TEST_P(OddSettingsFile, DefaultsWhereNothingCanBeRead) {
  const OddFileRow &row = GetParam();
  if (!row.make(folder + "/volume.ini"))
    GTEST_SKIP() << "cannot make such a file here";
  simMixerAddLine(0x1003, 2);
  EXPECT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE), row.componentTypeSetting);
  if (row.commandCount) {
    PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->commandCount, row.commandCount);
    KSTEvent_FreePluginInfo(info);
    EXPECT_EQ(simHeapLiveBlocks(), 0);
  }
  EXPECT_EQ(KSTEvent_Execute(3100, 0), 1);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, OddSettingsFile,
                         testing::ValuesIn(ODD_FILE_ROWS), rowName<OddFileRow>);

} // namespace
