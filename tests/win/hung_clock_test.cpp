/*
 * The clock belongs to the shell, another thread than the host's. The
 * plug-in waits for a clock that answers, but a shell that has stopped
 * answering must not hold the host's thread for good, nor one that sends
 * to the host before it answers.
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
  /* A clock of CLOCK_CALLS_BACK, to be given a window of this thread. */
  ClockThread *callingClock;
  bool taskbarFound; /* the command's thread sees the stand-in taskbar */
  int32_t result;
  double seconds;
  LONG callsBack; /* what the window got while the command ran */
};

static LONG callsBackReceived;

static LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message,
                                            WPARAM wParam, LPARAM lParam) {
  if (message == CLOCK_CALL_BACK)
    InterlockedIncrement(&callsBackReceived);
  return DefWindowProcA(window, message, wParam, lParam);
}

/* A window of the host's, on the calling thread, for the clock to send to. */
static HWND createHostWindow(void) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = hostWindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VolumeTestHost";
  RegisterClassA(&windowClass); /* fails harmlessly when registered */
  return CreateWindowExA(0, "VolumeTestHost", "", WS_POPUP, 0, 0, 10, 10,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

static DWORD WINAPI runTimedCommand(void *parameter) {
  TimedCommand *command = (TimedCommand *)parameter;
  /* The plug-in looks for the taskbar on its caller's desktop. */
  SetThreadDesktop(command->desktop);
  command->taskbarFound = FindWindowA("Shell_TrayWnd", "") != nullptr;
  HWND hostWindow = command->callingClock ? createHostWindow() : nullptr;
  if (command->callingClock)
    command->callingClock->callBack = hostWindow;
  callsBackReceived = 0;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  command->result = command->execute(command->commandId, 0);
  command->seconds = secondsSince(start);
  command->callsBack = callsBackReceived;
  if (hostWindow)
    DestroyWindow(hostWindow);
  return 0;
}

static const DWORD RETURN_BOUND_MS = 5000;
/* Well below the plug-in's longest wait for the clock, a second. */
static const double PROMPT_SECONDS = 0.5;
/* How long a thread must leave its messages alone to be held for hung. */
static const DWORD HUNG_THRESHOLD_MS = 5000;

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

  /* The speakers at 30000, the clock on its thread, the plug-in started
   * and Set(50) ready to run. */
  void prepareSet50(ClockThreadMode mode) {
    ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
    ASSERT_TRUE(kitStartClockThread(&clock, mode));
    ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
    command.execute = plugin.exports.execute;
    command.commandId = 3050;
  }

  ClockThread clock = {};
  /* Outlives a test body that gave up on a command still running. */
  TimedCommand command = {};
  HANDLE commandThread = nullptr;
};

TEST_F(HungClockTest, CommandReturnsWhenTheClockStopsAnswering) {
  ASSERT_NO_FATAL_FAILURE(prepareSet50(CLOCK_STOPS_ANSWERING));
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

/* A shell whose thread has left its messages alone for longer than the
 * system's threshold is held for hung: the plug-in gives up on it at once
 * (SMTO_ABORTIFHUNG) instead of waiting out the second. */
TEST_F(HungClockTest, CommandDoesNotWaitForAClockHeldForHung) {
  ASSERT_NO_FATAL_FAILURE(prepareSet50(CLOCK_STOPS_ANSWERING));
  Sleep(HUNG_THRESHOLD_MS + 1000);
  ASSERT_TRUE(commandReturns());
  std::printf("command returned after %.3f s with the clock held for hung\n",
              command.seconds);
  EXPECT_EQ(1, command.result);
  EXPECT_TRUE(volumeIsPercent(speakers, 50));
  EXPECT_LT(command.seconds, PROMPT_SECONDS);
}

/* A shell may send to a window of the host's before it answers. While the
 * plug-in waits, the host's thread still handles that message (SMTO_NORMAL,
 * not SMTO_BLOCK), so the clock answers at once: neither thread waits out
 * the second for the other. */
TEST_F(HungClockTest, ClockThatSendsToTheHostFirstIsAnsweredAtOnce) {
  ASSERT_NO_FATAL_FAILURE(prepareSet50(CLOCK_CALLS_BACK));
  command.callingClock = &clock;
  ASSERT_TRUE(commandReturns());
  std::printf("command returned after %.3f s with the clock sending back\n",
              command.seconds);
  EXPECT_EQ(1, command.result);
  EXPECT_EQ(1, command.callsBack);
  EXPECT_EQ(1, kitClockMessages().refreshes);
  EXPECT_LT(command.seconds, PROMPT_SECONDS);
}
