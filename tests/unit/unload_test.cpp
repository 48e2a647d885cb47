/*
 * KSTEvent_Unload gives back what the plug-in holds of the system, so that
 * a host that unloads and reloads it again and again never runs out of
 * mixer handles, and a command after it starts afresh.
 */
#include "unit_support.h"

#include "plugin/plugin.h"

class UnloadTest : public PluginTest {};

TEST_F(UnloadTest, ClosesTheMixerAndTheNextCommandOpensItAgain) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  ASSERT_EQ(KSTEvent_Execute(3050, 0), 1);
  ASSERT_EQ(KSTEvent_Execute(1, 0), 1);
  KSTEvent_Unload();
  EXPECT_EQ(simMixerOpenHandles(), 0u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_CLOSE), 1u);
  /* Everything is looked up again, as after loading. */
  simMixerClearCalls();
  EXPECT_EQ(KSTEvent_Execute(1010, 0), 1);
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{39321, 39321}));
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 1u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_LINE), 2u);
  EXPECT_EQ(simMixerOpenHandles(), 1u);
}

TEST_F(UnloadTest, WithNothingOpenTouchesNothing) {
  KSTEvent_Unload();
  KSTEvent_Unload();
  EXPECT_EQ(simMixerCalls(SIM_MIXER_CLOSE), 0u);
}

/* More load cycles than the device has handles: each one still works. */
TEST_F(UnloadTest, ReloadsNeverRunOutOfHandles) {
  for (int cycle = 0; cycle < 2 * SIM_MAX_HANDLES; cycle++) {
    ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
    ASSERT_EQ(KSTEvent_Execute(cycle % 2 ? 3000 : 3100, 0), 1) << cycle;
    KSTEvent_Unload();
  }
  EXPECT_EQ(simMixerOpenHandles(), 0u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 2u * SIM_MAX_HANDLES);
}
