/*
 * Command identifiers as the host hands them to KSTEvent_Execute: which
 * action each range runs, and that everything else touches nothing.
 */
#include <climits>

#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

struct CommandRow {
  int32_t id;
  std::vector<uint32_t> before; /* speakers, both channels */
  std::vector<uint32_t> after;
  uint32_t muteAfter;
};

/* 16384:8192 reads as 25 percent; the balance is 2:1. */
const CommandRow COMMAND_ROWS[] = {
    {1, {16384, 8192}, {16384, 8192}, 1},
    {1050, {16384, 8192}, {49151, 24575}, 0},
    {1000, {16384, 8192}, {16383, 8191}, 0}, /* re-quantised */
    {1001, {16384, 8192}, {17039, 8519}, 0},
    {1100, {16384, 8192}, {65535, 32767}, 0},
    {1005, {64224, 64224}, {65535, 65535}, 0}, /* 98 + 5 */
    {2000, {16384, 8192}, {16383, 8191}, 0},
    {2010, {16384, 8192}, {9830, 4915}, 0},
    {2100, {16384, 8192}, {0, 0}, 0},
    {2005, {1966, 1966}, {0, 0}, 0}, /* 3 - 5 */
    {3000, {16384, 8192}, {0, 0}, 0},
    {3033, {16384, 8192}, {21626, 10813}, 0},
    {3100, {16384, 8192}, {65535, 32767}, 0},
};

class CommandDispatch : public PluginTest,
                        public testing::WithParamInterface<CommandRow> {};

TEST_P(CommandDispatch, ChangesSpeakersAndNotifiesClockOnce) {
  const CommandRow &row = GetParam();
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  setLevels(speakers(), row.before);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 1);
  EXPECT_EQ(levelsOf(speakers()), row.after);
  EXPECT_EQ(speakers()->mute, row.muteAfter);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Ids, CommandDispatch, testing::ValuesIn(COMMAND_ROWS),
                         [](const testing::TestParamInfo<CommandRow> &info) {
                           return paramName(info.param.id);
                         });

class NonCommandId : public PluginTest,
                     public testing::WithParamInterface<int32_t> {
protected:
  void expectNothingTouched(void) {
    for (int op = 0; op < SIM_MIXER_OPS; op++)
      EXPECT_EQ(simMixerCalls((SimMixerOp)op), 0u) << "mixer op " << op;
    EXPECT_EQ(simWindowCalls(), 0u);
    EXPECT_EQ(simTrayClockNotifications(), 0u);
  }
};

TEST_P(NonCommandId, TouchesNeitherMixerNorWindows) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(KSTEvent_Execute(GetParam(), 0), 0);
  expectNothingTouched();
  /* Once the mixer is open and its controls known, too. */
  ASSERT_EQ(KSTEvent_Execute(3050, 0), 1);
  simMixerClearCalls();
  simWindowsReset();
  EXPECT_EQ(KSTEvent_Execute(GetParam(), 0), 0);
  expectNothingTouched();
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{32767, 32767}));
}

INSTANTIATE_TEST_SUITE_P(Ids, NonCommandId,
                         testing::Values(0, 4, 10, 14, 20, 24, -1, 999, 1101,
                                         1999, 2101, 2999, 3101, 3999, 4101,
                                         4999, 5101, 5999, 6101, INT_MIN,
                                         INT_MAX),
                         [](const testing::TestParamInfo<int32_t> &info) {
                           return paramName(info.param);
                         });

/* A shell without a taskbar (or a part of it) is no reason to fail: the
 * volume has changed all the same. */
class MissingTaskbarWindow : public PluginTest,
                             public testing::WithParamInterface<const char *> {
};

TEST_P(MissingTaskbarWindow, CommandStillSucceeds) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simWindowsRemove(GetParam());
  EXPECT_EQ(KSTEvent_Execute(3100, 0), 1);
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{65535, 65535}));
}

INSTANTIATE_TEST_SUITE_P(Classes, MissingTaskbarWindow,
                         testing::Values("Shell_TrayWnd", "TrayNotifyWnd",
                                         "TrayClockWClass"),
                         [](const testing::TestParamInfo<const char *> &info) {
                           return std::string(info.param);
                         });

} // namespace
