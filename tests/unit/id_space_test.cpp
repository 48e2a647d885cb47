/*
 * Identifiers around 0 and at both ends of the 32-bit range: exactly those
 * in the rows of command/command_families.h reach the mixer or Core Audio (the
 * microphone's, the focused application's) and the clock; every
 * other one returns 0 and touches nothing. (bench/id_space.cpp runs all
 * 2^32 identifiers the same way, outside the test run.)
 */
#include <climits>

#include "command/command_families.h"
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class IdSpace : public PluginTest {};

struct Window {
  int64_t first, last;
};

const Window WINDOWS[] = {{-10000, 10000},
                          {INT_MIN, (int64_t)INT_MIN + 1000},
                          {(int64_t)INT_MAX - 1000, INT_MAX}};

TEST_F(IdSpace, OnlyTheTablesIdentifiersReachTheMixer) {
  /* Every device slot names a device there is: the speakers and the
   * microphone both for a headset. */
  std::string texts = "[Command]\n";
  for (int k = 0; k < 10; k++)
    texts += "Output" + std::to_string(k) + "=speakers\nInput" +
             std::to_string(k) + "=microphone\nDevice" + std::to_string(k) +
             "=simulated\n";
  writeSettings(texts);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointReset(); /* with a recording device: the microphone's succeed */
  /* A program in the foreground with a session of its own. */
  simFocusReset();
  simProcessAdd(100, "C:\\player.exe");
  simSetForegroundWindow(simAppWindowAdd(0, "Player", 100));
  simSessionAdd(0, 100);
  unsigned reached = 0;
  std::vector<int64_t> misrouted;
  for (const Window &window : WINDOWS)
    for (int64_t id = window.first; id <= window.last; id++) {
      unsigned reads = simMixerCalls(SIM_MIXER_READ);
      unsigned windowCalls = simWindowCalls();
      unsigned comCalls = simEndpointAllCalls();
      int32_t result = KSTEvent_Execute((int32_t)id, 0);
      bool touched = simMixerCalls(SIM_MIXER_READ) != reads ||
                     simWindowCalls() != windowCalls ||
                     simEndpointAllCalls() != comCalls;
      reached += touched;
      if (touched != isCommandId(id) || result != (int32_t)isCommandId(id))
        misrouted.push_back(id);
    }
  /* Mute, mute on and off, the microphone's three, the focused
   * application's three, six ranges of 101, the two Next, three ranges
   * of ten devices, the microphone's steps up and down (two ranges of
   * 101) and its level 0 (10000; its other levels lie beyond): counted
   * here, not from the table, so that a row that gains or loses
   * identifiers fails. */
  EXPECT_EQ(reached, 850u);
  EXPECT_EQ(simTrayClockNotifications(), 850u);
  EXPECT_EQ(misrouted, std::vector<int64_t>{});
}

} // namespace
