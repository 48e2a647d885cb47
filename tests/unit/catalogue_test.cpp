/*
 * The info record handed to the host: its fixed fields, the command table
 * built from [Command], and the ownership of every string in it.
 */
#include <cstring>
#include <malloc.h>
#include <set>

#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class CatalogueTest : public PluginTest {};

/* The block is exactly the string and its terminator. AddressSanitizer's
 * allocator reports the size asked for; glibc's may round it up. */
void expectStringBlock(const char *text) {
  ASSERT_NE(text, nullptr);
#if defined(__SANITIZE_ADDRESS__)
  EXPECT_EQ(malloc_usable_size((void *)text), strlen(text) + 1) << text;
#else
  EXPECT_GE(malloc_usable_size((void *)text), strlen(text) + 1) << text;
#endif
}

/* Each string is a block of its own: freeing one frees no other. */
void expectOwnBlocks(const PluginInfo *info) {
  std::set<const void *> blocks = {info, info->name, info->fileName,
                                   info->commands};
  expectStringBlock(info->name);
  expectStringBlock(info->fileName);
  for (uint32_t i = 0; i < info->commandCount; i++) {
    blocks.insert({info->commands[i].name, info->commands[i].caption});
    expectStringBlock(info->commands[i].name);
    expectStringBlock(info->commands[i].caption);
  }
  EXPECT_EQ(blocks.size(), 4 + 2 * (size_t)info->commandCount);
}

std::string times(const std::string &text, int count) {
  std::string repeated;
  while (count-- > 0)
    repeated += text;
  return repeated;
}

struct TableRow {
  const char *name;
  std::string settings; /* empty: no file */
  std::vector<ExpectedCommand> commands;
};

const TableRow TABLE_ROWS[] = {
    {"NoSettings", "", {mute()}},
    {"OneStep", "[Command]\nUpDown0=5\n", {up(5), down(5), mute()}},
    {"StepsBeforeLevels",
     "[Command]\nSet0=50\nUpDown3=10\n",
     {up(10), down(10), set(50), mute()}},
    {"SlotOrderNotFileOrder",
     "[Command]\nUpDown1=5\nUpDown0=20\nSet9=1\nSet2=99\n",
     {up(20), down(20), up(5), down(5), set(99), set(1), mute()}},
    {"GapsDoNotStopTheScan",
     "[Command]\nUpDown2=1\nUpDown9=2\nSet5=3\n",
     {up(1), down(1), up(2), down(2), set(3), mute()}},
    {"OutOfRangeIgnored",
     "[Command]\nUpDown0=-1\nUpDown1=-7\nUpDown2=101\nUpDown3=250\n"
     "UpDown4=0\nSet0=100\nSet1=101\n",
     {up(0), down(0), set(100), mute()}},
    {"DuplicatesKept",
     "[Command]\nSet0=50\nSet1=50\n",
     {set(50), set(50), mute()}},
    {"OnlyTenSlots", "[Command]\nUpDown10=5\nSet10=5\n", {mute()}},
    {"OtherSectionIgnored", "[Setting]\nUpDown0=5\nSet0=5\n", {mute()}},
    {"AllTwentySlots", fullCommandSection(), fullCommandTable()},
    /* Switch keys add after Mute, in their own order, for exactly 1. */
    {"SwitchesInTheirOrder",
     "[Command]\nMicMuteOnOff=1\nMicMute=1\nMuteOnOff=1\nSet0=5\n",
     {set(5),
      mute(),
      {"MuteOn", "ミュートする", 2},
      {"MuteOff", "ミュートを解除する", 3},
      {"MicMute", "マイクをミュート", 11},
      {"MicMuteOn", "マイクをミュートする", 12},
      {"MicMuteOff", "マイクのミュートを解除する", 13}}},
    {"SwitchOneInHex",
     "[Command]\nMicMute=0x1\n",
     {mute(), {"MicMute", "マイクをミュート", 11}}},
    {"SwitchesNotOne",
     "[Command]\nMuteOnOff=0\nMicMute=2\nMicMuteOnOff=yes\n",
     {mute()}},
    {"SwitchInOtherSection", "[Setting]\nMicMute=1\n", {mute()}},
    /* The focused application's commands come last, in their own order. */
    {"AppCommandsLast",
     "[Command]\nAppMuteOnOff=1\nAppMute=1\nAppSet3=0\nAppUpDown1=10\n"
     "MicMute=1\nAppUpDown0=100\nSet0=5\n",
     {set(5),
      mute(),
      {"MicMute", "マイクをミュート", 11},
      {"AppVolumeUp(100)", "アクティブなアプリのボリュームを100上げる", 4100},
      {"AppVolumeDown(100)", "アクティブなアプリのボリュームを100下げる", 5100},
      {"AppVolumeUp(10)", "アクティブなアプリのボリュームを10上げる", 4010},
      {"AppVolumeDown(10)", "アクティブなアプリのボリュームを10下げる", 5010},
      {"AppSet(0)", "アクティブなアプリのボリュームを0にセット", 6000},
      {"AppMute", "アクティブなアプリをミュート", 21},
      {"AppMuteOn", "アクティブなアプリをミュートする", 22},
      {"AppMuteOff", "アクティブなアプリのミュートを解除する", 23}}},
    /* The device commands come last: Next, then by name, each slot with
     * a text, the caption holding the text as written. */
    {"DevicesLastInTheirOrder",
     cp932("[Command]\nDevice2=Headset\nInput0=マイク\nOutput9=ヘッドホン\n"
           "NextInput=1\nNextOutput=1\nOutput1=\nNextOutput2=1\n"),
     {mute(),
      {"NextOutput", "出力デバイスを切り替え", 31},
      {"NextInput", "入力デバイスを切り替え", 32},
      {"OutputDevice(9)", "出力をヘッドホンに切り替え", 7009},
      {"InputDevice(0)", "入力をマイクに切り替え", 7100},
      {"Device(2)", "出力と入力をHeadsetに切り替え", 7202}}},
    /* Cut at 63 bytes, never inside a double-byte character. */
    {"DeviceTextCut",
     cp932("[Command]\nOutput0=aa" + times("ア", 40) + "\n"),
     {mute(),
      {"OutputDevice(0)", "出力をaa" + times("ア", 30) + "に切り替え", 7000}}},
    /* A text slot with a number slot of the same k: offered only where
     * both hold; the name carries k, the caption the text and number. */
    {"NamedDevicesWhereTextAndNumberHold",
     cp932("[Command]\nOutput7=ヘッドホン\nOutputUpDown7=5\nOutput2=HDMI\n"
           "OutputSet2=40\nOutputUpDown2=101\nOutputMute2=1\nInput4=Mic\n"
           "InputSet4=0\nInputMute4=2\nOutputSet5=30\nInputUpDown1=3\n"
           "Input1=\nOutputMute7=1\n"),
     {mute(),
      {"OutputDevice(2)", "出力をHDMIに切り替え", 7002},
      {"OutputDevice(7)", "出力をヘッドホンに切り替え", 7007},
      {"InputDevice(4)", "入力をMicに切り替え", 7104},
      {"OutputVolumeUp(7)", "ヘッドホンのボリュームを5上げる", 11007},
      {"OutputVolumeDown(7)", "ヘッドホンのボリュームを5下げる", 11107},
      {"OutputSet(2)", "HDMIのボリュームを40にセット", 11202},
      {"OutputMute(2)", "HDMIをミュート", 11302},
      {"OutputMute(7)", "ヘッドホンをミュート", 11307},
      {"InputSet(4)", "Micのボリュームを0にセット", 11604}}},
    {"DeviceTextCutBefore9FLead",
     cp932("[Command]\nOutput0=" + times("檗", 32) + "\n"),
     {mute(),
      {"OutputDevice(0)", "出力を" + times("檗", 31) + "に切り替え", 7000}}},
    /* A lead byte that ends the value has no character to lead. */
    {"LoneLeadByteDropped",
     "[Command]\nOutput0=ab\x82\n",
     {mute(), {"OutputDevice(0)", "出力をabに切り替え", 7000}}},
    /* Each slot's caption its own text; half-width katakana single bytes. */
    {"EachTextSlotItsOwn",
     cp932("[Command]\nOutput0=ｱｲｳ\nOutput1=HDMI\n"),
     {mute(),
      {"OutputDevice(0)", "出力をｱｲｳに切り替え", 7000},
      {"OutputDevice(1)", "出力をHDMIに切り替え", 7001}}},
    /* The microphone's levels follow the device switches and come before
     * the named devices; a pair's caption holds its text as written. */
    {"MicrophoneLevelsBetweenSwitchesAndNamedDevices",
     cp932("[Command]\nMicSet1=30\nMicUpDown0=5\nOutput0=Spk\n"
           "OutputSet0=20\nDevice0=ヘッドホン|Desk Mic\nNextOutput=1\n"
           "MicSet0=100\nMicUpDown1=101\nMicSet2=-1\n"),
     {mute(),
      {"NextOutput", "出力デバイスを切り替え", 31},
      {"OutputDevice(0)", "出力をSpkに切り替え", 7000},
      {"Device(0)", "出力と入力をヘッドホン|Desk Micに切り替え", 7200},
      {"MicVolumeUp(5)", "マイクのボリュームを5上げる", 8005},
      {"MicVolumeDown(5)", "マイクのボリュームを5下げる", 9005},
      {"MicSet(100)", "マイクのボリュームを100にセット", 10100},
      {"MicSet(30)", "マイクのボリュームを30にセット", 10030},
      {"OutputSet(0)", "Spkのボリュームを20にセット", 11200}}},
    {"AppValuesOutsideTheirRange",
     "[Command]\nAppUpDown0=101\nAppUpDown1=-1\nAppSet0=101\nAppSet10=5\n"
     "AppMute=2\nAppMuteOnOff=0\nAppUpDown=5\n",
     {mute()}},
};

class CommandTable : public PluginTest,
                     public testing::WithParamInterface<TableRow> {};

TEST_P(CommandTable, FollowsCommandSection) {
  const TableRow &row = GetParam();
  if (!row.settings.empty())
    writeSettings(row.settings);
  PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
  ASSERT_NE(info, nullptr);
  ASSERT_EQ(info->commandCount, row.commands.size());
  for (size_t i = 0; i < row.commands.size(); i++)
    expectCommand(info->commands[i], row.commands[i]);
  expectOwnBlocks(info);
  KSTEvent_FreePluginInfo(info);
  EXPECT_EQ(simHeapLiveBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, CommandTable, testing::ValuesIn(TABLE_ROWS),
                         rowName<TableRow>);

struct FileNameRow {
  const char *name;
  std::string fileName;
};

/* 表 in code page 932 ends in a backslash byte, which a byte copy must
 * not treat specially. */
const FileNameRow FILE_NAME_ROWS[] = {
    {"Plain", "volume.dll"},
    {"TrailByteBackslash", cp932("C:\\表\\volume.dll")},
    {"Empty", ""},
    {"Long", std::string(300, 'n')},
};

class RecordFileName : public PluginTest,
                       public testing::WithParamInterface<FileNameRow> {};

TEST_P(RecordFileName, RecordIdentifiesPlugin) {
  const std::string &fileName = GetParam().fileName;
  PluginInfo *info = KSTEvent_InitPluginInfo(fileName.c_str());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(std::string(info->name), cp932("ボリュームを変更"));
  EXPECT_EQ(std::string(info->fileName), fileName);
  EXPECT_NE((const void *)info->fileName, (const void *)fileName.c_str());
  EXPECT_EQ(info->kindCode, 1);
  /* Nothing off Windows has a version resource. */
  EXPECT_EQ(info->versionMS, 0u);
  EXPECT_EQ(info->versionLS, 0u);
  expectOwnBlocks(info);
  KSTEvent_FreePluginInfo(info);
  EXPECT_EQ(simHeapLiveBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, RecordFileName,
                         testing::ValuesIn(FILE_NAME_ROWS),
                         rowName<FileNameRow>);

TEST_F(CatalogueTest, NullFileNameGivesNoRecord) {
  EXPECT_EQ(KSTEvent_InitPluginInfo(nullptr), nullptr);
  EXPECT_EQ(simHeapAllocations(), 0u);
  KSTEvent_FreePluginInfo(nullptr);
  EXPECT_EQ(simHeapLiveBlocks(), 0);
}

} // namespace
