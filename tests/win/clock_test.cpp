/*
 * After each successful command the plug-in asks the taskbar clock to
 * redraw; nothing else reaches the taskbar, and a missing taskbar changes
 * nothing about the command.
 */
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "command/command_families.h"
#include "plugin_test.h"

class ClockTest : public PluginTest {};

/* The first and last identifier of every range of the classic mixer's
 * commands, and one inside, taken from the plug-in's own rows. */
static std::vector<int32_t> successfulCommands(void) {
  std::vector<int32_t> commands;
  for (const CommandFamily &row : COMMAND_FAMILIES) {
    if (row.run != runOnPlayback)
      continue;
    commands.push_back(row.firstId);
    commands.push_back(row.firstId + (row.lastId - row.firstId) / 2);
    commands.push_back(row.lastId);
  }
  return commands;
}

TEST_F(ClockTest, EverySuccessfulCommandRefreshesTheClockOnce) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  for (int32_t command : successfulCommands()) {
    SCOPED_TRACE("command " + std::to_string(command));
    kitResetClockMessages();
    EXPECT_EQ(1, execute(command));
    EXPECT_EQ(1, kitClockMessages().refreshes);
    EXPECT_EQ(0, kitClockMessages().misdirected);
  }
}

/* Just outside each range where that is in no other range, and the
 * extremes. */
static std::vector<int32_t> unknownCommands(void) {
  std::vector<int32_t> commands = {-1, INT_MIN, INT_MAX};
  for (const CommandFamily &row : COMMAND_FAMILIES) {
    const int64_t neighbours[] = {(int64_t)row.firstId - 1,
                                  (int64_t)row.lastId + 1};
    for (int64_t id : neighbours)
      if (id >= INT32_MIN && id <= INT32_MAX && !isCommandId(id))
        commands.push_back((int32_t)id);
  }
  return commands;
}

TEST_F(ClockTest, UnknownIdentifiersDoNothingAndSendNothing) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(40000, 0));
  const uint32_t level = speakerLevel();
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  const std::vector<int32_t> commands = unknownCommands();
  ASSERT_LT(10u, commands.size());
  for (int32_t command : commands) {
    SCOPED_TRACE("command " + std::to_string(command));
    EXPECT_EQ(0, execute(command));
    EXPECT_TRUE(volumeIsLevel(speakers, level));
    EXPECT_TRUE(muteIs(speakers, 0));
  }
  EXPECT_EQ(0, kitClockMessages().refreshes);
  EXPECT_EQ(0, kitClockMessages().misdirected);
}

TEST_F(ClockTest, CommandsSucceedWithoutATaskbar) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(40000, 0));
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  EXPECT_EQ(1, execute(3050));
  EXPECT_TRUE(volumeIsPercent(speakers, 50));
  EXPECT_EQ(1, execute(1));
  EXPECT_TRUE(muteIs(speakers, 1));
}

/* With the clock gone the message has nowhere to go; in particular it
 * must not land on the notify area or the taskbar itself. */
TEST_F(ClockTest, CommandsSucceedWhenTheClockIsMissing) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(40000, 0));
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_TRUE(DestroyWindow(taskbar.clock));
  taskbar.clock = nullptr;
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  EXPECT_EQ(1, execute(3050));
  EXPECT_TRUE(volumeIsPercent(speakers, 50));
  EXPECT_EQ(0, kitClockMessages().refreshes);
  EXPECT_EQ(0, kitClockMessages().misdirected);
}
