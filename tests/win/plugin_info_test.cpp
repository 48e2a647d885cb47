/*
 * The info record and its command table, read by byte offset as the host
 * reads them. Japanese text is compared with what the system's own code
 * page 932 table makes of the UTF-16 text.
 */
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "code_page.h"
#include "plugin_test.h"
#include "row_name.h"

struct ExpectedCommand {
  std::string name;
  std::wstring caption;
  int32_t id;
};

static ExpectedCommand volumeUp(int step) {
  return {"VolumeUp(" + std::to_string(step) + ")",
          L"ボリュームを" + std::to_wstring(step) + L"上げる", 1000 + step};
}

static ExpectedCommand volumeDown(int step) {
  return {"VolumeDown(" + std::to_string(step) + ")",
          L"ボリュームを" + std::to_wstring(step) + L"下げる", 2000 + step};
}

static ExpectedCommand setVolume(int percent) {
  return {"Set(" + std::to_string(percent) + ")",
          L"ボリュームを" + std::to_wstring(percent) + L"にセット",
          3000 + percent};
}

static ExpectedCommand mute(void) { return {"Mute", L"ミュート", 1}; }

struct CatalogueCase {
  const char *name;
  const char *settings; /* null: no settings file */
  std::vector<ExpectedCommand> commands;
};

/* Failure messages name the case instead of dumping its bytes. */
static void PrintTo(const CatalogueCase &catalogue, std::ostream *out) {
  *out << catalogue.name;
}

/* Every slot used, each with a value of its own: UpDown<k> = 5k + 1 and
 * Set<k> = 10k + 4, written in reverse order. */
static std::string allSlotsSettings(void) {
  std::string settings = "[Command]\r\n";
  for (int k = 9; k >= 0; k--)
    settings += "UpDown" + std::to_string(k) + "=" + std::to_string(5 * k + 1) +
                "\r\nSet" + std::to_string(k) + "=" +
                std::to_string(10 * k + 4) + "\r\n";
  return settings;
}

static std::vector<ExpectedCommand> allSlotsCommands(void) {
  std::vector<ExpectedCommand> commands;
  for (int k = 0; k < 10; k++) {
    commands.push_back(volumeUp(5 * k + 1));
    commands.push_back(volumeDown(5 * k + 1));
  }
  for (int k = 0; k < 10; k++)
    commands.push_back(setVolume(10 * k + 4));
  commands.push_back(mute());
  return commands;
}

static const std::string ALL_SLOTS_SETTINGS = allSlotsSettings();

static const CatalogueCase CATALOGUE_CASES[] = {
    {"NoSettingsFile", nullptr, {mute()}},
    {"EmptySettingsFile", "", {mute()}},
    {"StepAndLevel",
     "[Command]\r\nUpDown0=5\r\nSet0=50\r\n",
     {volumeUp(5), volumeDown(5), setVolume(50), mute()}},
    {"MiddleSlotAlone",
     "[Command]\r\nUpDown4=10\r\n",
     {volumeUp(10), volumeDown(10), mute()}},
    {"StepOfZero",
     "[Command]\r\nUpDown0=0\r\n",
     {volumeUp(0), volumeDown(0), mute()}},
    {"ValuesOutside0To100AreIgnored",
     "[Command]\r\nUpDown0=-1\r\nUpDown1=101\r\nUpDown2=0\r\nUpDown3=250\r\n"
     "UpDown4=100\r\nUpDown5=-7\r\nSet0=-7\r\nSet1=101\r\nSet2=100\r\n"
     "Set3=250\r\nSet4=0\r\nSet5=-1\r\n",
     {volumeUp(0), volumeDown(0), volumeUp(100), volumeDown(100),
      setVolume(100), setVolume(0), mute()}},
    {"SlotOrderNotValueOrder",
     "[Command]\r\nUpDown0=20\r\nUpDown1=5\r\n",
     {volumeUp(20), volumeDown(20), volumeUp(5), volumeDown(5), mute()}},
    {"SlotOrderNotFileOrder",
     "[Command]\r\nSet9=10\r\nUpDown9=1\r\nSet0=90\r\nUpDown0=9\r\n",
     {volumeUp(9), volumeDown(9), volumeUp(1), volumeDown(1), setVolume(90),
      setVolume(10), mute()}},
    {"RepeatedLevels",
     "[Command]\r\nSet1=30\r\nSet2=30\r\n",
     {setVolume(30), setVolume(30), mute()}},
    {"KeysInAnotherSection", "[Setting]\r\nUpDown0=5\r\nSet0=50\r\n", {mute()}},
    {"AllTwentySlots", ALL_SLOTS_SETTINGS.c_str(), allSlotsCommands()},
};

/* Checks one CommandInfo record, field by field at its offsets. */
static void expectCommand(const unsigned char *record,
                          const ExpectedCommand &expected) {
  EXPECT_STREQ(expected.name.c_str(), readPointer(record, COMMAND_NAME));
  EXPECT_EQ(inCodePage932(expected.caption),
            std::string(readPointer(record, COMMAND_CAPTION)));
  EXPECT_EQ((uint32_t)expected.id, readU32(record, COMMAND_ID));
  const uint32_t hostWords[COMMAND_HOST_WORD_COUNT] = {0, 0xFFFFFFFFu, 4, 0, 0};
  for (int w = 0; w < COMMAND_HOST_WORD_COUNT; w++)
    EXPECT_EQ(hostWords[w], readU32(record, COMMAND_HOST_WORDS + 4 * w))
        << "host word " << w + 1;
}

class CatalogueTest : public PluginTest,
                      public ::testing::WithParamInterface<CatalogueCase> {};

TEST_P(CatalogueTest, CommandTableFollowsTheSettings) {
  const CatalogueCase &catalogue = GetParam();
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(catalogue.settings));
  PluginInfo *info = plugin.exports.initPluginInfo(plugin.dllPath.c_str());
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(inCodePage932(L"ボリュームを変更"),
            std::string(readPointer(info, INFO_NAME)));
  EXPECT_EQ(1u, readU16(info, INFO_KIND_CODE));
  uint32_t count = readU32(info, INFO_COMMAND_COUNT);
  EXPECT_EQ(catalogue.commands.size(), count);
  for (uint32_t i = 0; i < count && i < catalogue.commands.size(); i++) {
    SCOPED_TRACE("command record " + std::to_string(i));
    expectCommand(commandRecord(info, i), catalogue.commands[i]);
  }
  plugin.exports.freePluginInfo(info);
}

INSTANTIATE_TEST_SUITE_P(Settings, CatalogueTest,
                         ::testing::ValuesIn(CATALOGUE_CASES),
                         rowName<CatalogueCase>);

class PluginInfoTest : public PluginTest {};

/* File names the host might pass: Shift JIS bytes (with 0x5C, the
 * backslash, as the trail byte of 表), odd case, one longer than MAX_PATH,
 * and the DLL's real path. */
TEST_F(PluginInfoTest, FileNameIsAByteForByteCopy) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(nullptr));
  const std::string fileNames[] = {
      inCodePage932(L"C:\\表示\\ボリューム.dll"), "C:\\x\\Some.DLL",
      "C:\\" + std::string(400, 'n') + ".dll", plugin.dllPath};
  for (const std::string &fileName : fileNames) {
    SCOPED_TRACE(fileName);
    PluginInfo *info = plugin.exports.initPluginInfo(fileName.c_str());
    ASSERT_NE(nullptr, info);
    const char *copy = readPointer(info, INFO_FILE_NAME);
    EXPECT_NE(fileName.c_str(), copy) << "a copy, not the caller's string";
    EXPECT_EQ(fileName, std::string(copy));
    EXPECT_EQ(1u, readU32(info, INFO_COMMAND_COUNT));
    plugin.exports.freePluginInfo(info);
  }
}

/* Every string the record owns, with the size of its bytes. */
static std::vector<std::pair<const char *, size_t>>
ownedStrings(const void *info) {
  std::vector<std::pair<const char *, size_t>> strings;
  const size_t offsets[] = {INFO_NAME, INFO_FILE_NAME};
  for (size_t offset : offsets)
    strings.push_back({readPointer(info, offset), 0});
  for (uint32_t i = 0; i < readU32(info, INFO_COMMAND_COUNT); i++) {
    strings.push_back({readPointer(commandRecord(info, i), COMMAND_NAME), 0});
    strings.push_back(
        {readPointer(commandRecord(info, i), COMMAND_CAPTION), 0});
  }
  for (auto &string : strings)
    string.second = strlen(string.first) + 1;
  return strings;
}

/* The host frees nothing itself; KSTEvent_FreePluginInfo releases every
 * block, so each string must be a block of its own on the heap. */
TEST_F(PluginInfoTest, StringsAreDistinctHeapBlocks) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(ALL_SLOTS_SETTINGS.c_str()));
  PluginInfo *info = plugin.exports.initPluginInfo(plugin.dllPath.c_str());
  ASSERT_NE(nullptr, info);
  HANDLE heap = GetProcessHeap();
  EXPECT_TRUE(HeapValidate(heap, 0, info));
  EXPECT_LE(32u, HeapSize(heap, 0, info)) << "the host reads 32 bytes";
  const void *table = readPointer(info, INFO_COMMANDS);
  EXPECT_TRUE(HeapValidate(heap, 0, table));
  std::vector<std::pair<const char *, size_t>> strings = ownedStrings(info);
  ASSERT_EQ(2u + 2 * 31, strings.size());
  for (const auto &string : strings) {
    EXPECT_TRUE(HeapValidate(heap, 0, string.first)) << string.first;
    EXPECT_LE(string.second, HeapSize(heap, 0, string.first)) << string.first;
  }
  std::sort(strings.begin(), strings.end());
  for (size_t i = 1; i < strings.size(); i++)
    EXPECT_LE(strings[i - 1].first + strings[i - 1].second, strings[i].first)
        << "\"" << strings[i - 1].first << "\" and \"" << strings[i].first
        << "\" share memory";
  plugin.exports.freePluginInfo(info);
  EXPECT_TRUE(HeapValidate(heap, 0, nullptr));
}

/* Bytes and blocks in use on the process heap. */
static std::pair<size_t, size_t> heapInUse(void) {
  HANDLE heap = GetProcessHeap();
  PROCESS_HEAP_ENTRY entry = {};
  std::pair<size_t, size_t> used = {0, 0};
  HeapLock(heap);
  while (HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
      used.first += entry.cbData;
      used.second++;
    }
  HeapUnlock(heap);
  return used;
}

/* The first round also fills the system's caches (the profile reader
 * keeps the settings file), so only later rounds are compared. */
TEST_F(PluginInfoTest, FreeReleasesEverythingTheRecordHolds) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(ALL_SLOTS_SETTINGS.c_str()));
  const char *fileName = plugin.dllPath.c_str();
  plugin.exports.freePluginInfo(plugin.exports.initPluginInfo(fileName));
  std::pair<size_t, size_t> before = heapInUse();
  for (int round = 0; round < 5; round++)
    plugin.exports.freePluginInfo(plugin.exports.initPluginInfo(fileName));
  std::pair<size_t, size_t> after = heapInUse();
  EXPECT_EQ(before.first, after.first) << "bytes in use";
  EXPECT_EQ(before.second, after.second) << "blocks in use";
}
