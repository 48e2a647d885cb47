/*
 * The clock belongs to the shell, another thread than the host's. The
 * plug-in waits for a clock that answers, but a shell that has stopped
 * answering must not hold the host's thread for good.
 */
#include <cstdio>
#include <string>

#include "plugin_test.h"

static double secondsSince(const LARGE_INTEGER &start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return (double)(now.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
}

/* One command run on a thread of its own while the test thread watches:
 * a command that never returns would leave the test stuck, so the test
 * gives up after a generous bound and fails instead. */
struct TimedCommand {
  ExecuteFunction execute;
  int32_t commandId;
  HDESK desktop;
  bool taskbarFound; /* the command's thread sees the stand-in taskbar */
  int32_t result;
  double seconds;
};

static DWORD WINAPI runTimedCommand(void *parameter) {
  TimedCommand *command = (TimedCommand *)parameter;
  /* The plug-in looks for the taskbar on its caller's desktop. */
  SetThreadDesktop(command->desktop);
  command->taskbarFound = FindWindowA("Shell_TrayWnd", "") != nullptr;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  command->result = command->execute(command->commandId, 0);
  command->seconds = secondsSince(start);
  return 0;
}

static const DWORD RETURN_BOUND_MS = 5000;

class HungClockTest : public PluginTest {
protected:
  void TearDown() override {
    /* A command still waiting on the clock goes on once it answers. */
    kitStopClockThread(&clock);
    if (commandThread) {
      WaitForSingleObject(commandThread, INFINITE);
      CloseHandle(commandThread);
    }
    PluginTest::TearDown();
  }

  /* Runs the command and reports whether it returned within the bound. */
  ::testing::AssertionResult commandReturns(void) {
    command.desktop = GetThreadDesktop(GetCurrentThreadId());
    commandThread =
        CreateThread(nullptr, 0, runTimedCommand, &command, 0, nullptr);
    if (!commandThread)
      return ::testing::AssertionFailure() << "no thread for the command";
    if (WaitForSingleObject(commandThread, RETURN_BOUND_MS) != WAIT_OBJECT_0)
      return ::testing::AssertionFailure()
             << "KSTEvent_Execute(" << command.commandId
             << ") still waits after " << RETURN_BOUND_MS << " ms";
    CloseHandle(commandThread);
    commandThread = nullptr;
    return ::testing::AssertionSuccess();
  }

  ClockThread clock = {};
  /* Outlives a test body that gave up on a command still running. */
  TimedCommand command = {};
  HANDLE commandThread = nullptr;
};

TEST_F(HungClockTest, CommandReturnsWhenTheClockStopsAnswering) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
  ASSERT_TRUE(kitStartClockThread(&clock, CLOCK_STOPS_ANSWERING));
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  command.execute = plugin.exports.execute;
  command.commandId = 3050;
  ASSERT_TRUE(commandReturns());
  ASSERT_TRUE(command.taskbarFound);
  std::printf("command returned after %.3f s with the clock hung\n",
              command.seconds);
  RecordProperty("hung_clock_seconds", std::to_string(command.seconds));
  /* The result is the action's: the volume was set. */
  EXPECT_EQ(1, command.result);
  EXPECT_TRUE(volumeIsPercent(speakers, 50));
  EXPECT_EQ(0, kitClockMessages().refreshes);
  /* The next command is not held up for good either. */
  command.commandId = 1;
  ASSERT_TRUE(commandReturns());
  std::printf("and the next after %.3f s\n", command.seconds);
  EXPECT_EQ(1, command.result);
  EXPECT_TRUE(muteIs(speakers, 1));
}

/* The send still waits for a clock that answers: the clock has counted
 * the message by the time the command returns, once per success and never
 * for a failure. */
TEST_F(HungClockTest, ClockOnAnotherThreadGetsOneMessagePerSuccess) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
  ASSERT_TRUE(kitStartClockThread(&clock, CLOCK_PUMPS_MESSAGES));
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  const int32_t commands[] = {3050, 1005, 2010, 1, 1, 3100, 999};
  int expected = 0;
  for (int32_t commandId : commands) {
    SCOPED_TRACE("command " + std::to_string(commandId));
    int32_t result = execute(commandId);
    EXPECT_EQ(commandId != 999, result == 1);
    expected += result;
    EXPECT_EQ(expected, kitClockMessages().refreshes);
    EXPECT_EQ(0, kitClockMessages().misdirected);
  }
  EXPECT_EQ(6, expected);
}
