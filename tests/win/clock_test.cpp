/*
 * After each successful command the plug-in asks the taskbar clock to
 * redraw; nothing else reaches the taskbar, and a missing taskbar changes
 * nothing about the command.
 */
#include <climits>
#include <string>

#include "plugin_test.h"

class ClockTest : public PluginTest {};

/* The first and last identifier of every range, and one inside. */
static const int32_t SUCCESSFUL_COMMANDS[] = {
    1, 1000, 1005, 1100, 2000, 2005, 2100, 3000, 3050, 3100, 1};

TEST_F(ClockTest, EverySuccessfulCommandRefreshesTheClockOnce) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  for (int32_t command : SUCCESSFUL_COMMANDS) {
    SCOPED_TRACE("command " + std::to_string(command));
    kitResetClockMessages();
    EXPECT_EQ(1, execute(command));
    EXPECT_EQ(1, kitClockMessages().refreshes);
    EXPECT_EQ(0, kitClockMessages().misdirected);
  }
}

/* Just outside each range, the gaps between them, and the extremes. */
static const int32_t UNKNOWN_COMMANDS[] = {
    0, 2, -1, 999, 1101, 1999, 2101, 2999, 3101, INT_MIN, INT_MAX};

TEST_F(ClockTest, UnknownIdentifiersDoNothingAndSendNothing) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(40000, 0));
  const uint32_t level = speakerLevel();
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  for (int32_t command : UNKNOWN_COMMANDS) {
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
