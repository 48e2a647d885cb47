/*
 * A host that unloads and reloads the plug-in many times in one process
 * (a user editing its settings, a host that loads plug-ins per use) must
 * find every command working every time: nothing the plug-in takes from
 * the system may outlive its unload.
 */
#include <cstdio>
#include <string>

#include "plugin_test.h"

class ReloadTest : public PluginTest {};

/* Several times the number of mixer opens after which Wine's handles
 * first name another device (256) and then none (512). */
static const int RELOAD_CYCLES = 3000;

static double secondsSince(const LARGE_INTEGER &start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return (double)(now.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
}

TEST_F(ReloadTest, EveryCommandSucceedsOverThousandsOfReloads) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_TRUE(installPlugin(&plugin, nullptr));
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  int failedLoads = 0, failedInits = 0, failedCommands = 0, firstFailure = -1;
  int wrongLevels = 0, firstWrongLevel = -1;
  uint32_t lastPercent = 0;
  for (int cycle = 0; cycle < RELOAD_CYCLES; cycle++) {
    if (!loadPlugin(&plugin)) {
      failedLoads++;
      break;
    }
    failedInits += plugin.exports.init(plugin.dllPath.c_str(), 0) != 1;
    /* A different level each time, so that every write changes it. */
    lastPercent = (uint32_t)(cycle % 101);
    if (execute(3000 + (int32_t)lastPercent) != 1) {
      failedCommands++;
      if (firstFailure < 0)
        firstFailure = cycle;
    }
    /* Seen through the test's own handle: the command changed device 0,
     * not some other device. */
    if (!volumeIsPercent(speakers, lastPercent)) {
      wrongLevels++;
      if (firstWrongLevel < 0)
        firstWrongLevel = cycle;
    }
    plugin.exports.unload();
    FreeLibrary(plugin.module);
    plugin.module = nullptr;
  }
  const double seconds = secondsSince(start);
  std::printf("%d reload cycles took %.1f s (%.2f ms each)\n", RELOAD_CYCLES,
              seconds, seconds * 1000.0 / RELOAD_CYCLES);
  RecordProperty("reload_seconds", std::to_string(seconds));
  EXPECT_EQ(0, failedLoads);
  EXPECT_EQ(0, failedInits);
  EXPECT_EQ(0, failedCommands) << "first failed in cycle " << firstFailure;
  EXPECT_EQ(0, wrongLevels) << "first wrong in cycle " << firstWrongLevel;
  EXPECT_EQ(RELOAD_CYCLES, kitClockMessages().refreshes);
}
