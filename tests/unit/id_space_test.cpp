/*
 * Identifiers around 0 and at both ends of the 32-bit range: exactly the
 * 304 of the four command ranges reach the mixer and the clock; every
 * other one returns 0 and touches nothing. (bench/id_space.cpp runs all
 * 2^32 identifiers the same way, outside the test run.)
 */
#include <climits>

#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class IdSpace : public PluginTest {};

bool isCommandId(int64_t id) {
  return id == 1 || (id >= 1000 && id <= 1100) || (id >= 2000 && id <= 2100) ||
         (id >= 3000 && id <= 3100);
}

struct Window {
  int64_t first, last;
};

const Window WINDOWS[] = {{-10000, 10000},
                          {INT_MIN, (int64_t)INT_MIN + 1000},
                          {(int64_t)INT_MAX - 1000, INT_MAX}};

TEST_F(IdSpace, OnlyTheFourRangesReachTheMixer) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  unsigned reached = 0;
  std::vector<int64_t> misrouted;
  for (const Window &window : WINDOWS)
    for (int64_t id = window.first; id <= window.last; id++) {
      unsigned reads = simMixerCalls(SIM_MIXER_READ);
      unsigned windowCalls = simWindowCalls();
      int32_t result = KSTEvent_Execute((int32_t)id, 0);
      bool touched = simMixerCalls(SIM_MIXER_READ) != reads ||
                     simWindowCalls() != windowCalls;
      reached += touched;
      if (touched != isCommandId(id) || result != (int32_t)isCommandId(id))
        misrouted.push_back(id);
    }
  EXPECT_EQ(reached, 304u);
  EXPECT_EQ(simTrayClockNotifications(), 304u);
  EXPECT_EQ(misrouted, std::vector<int64_t>{});
}

} // namespace
