/*
 * The mute command: a toggle of the speakers' mute switch, whatever line
 * the volume commands are set to.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class MuteTest : public PluginTest {};

struct MuteRow {
  uint32_t before, after;
};

class MuteToggle : public PluginTest,
                   public testing::WithParamInterface<MuteRow> {};

/* No KSTEvent_Init: mute does not depend on VolComponentType, whose value
 * here (0) names a line the device does not have. */
TEST_P(MuteToggle, AnyNonZeroValueUnmutes) {
  speakers()->mute = GetParam().before;
  setLevels(speakers(), {1234, 5678});
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(speakers()->mute, GetParam().after);
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{1234, 5678}));
  EXPECT_EQ(simTrayClockNotifications(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Values, MuteToggle,
                         testing::Values(MuteRow{0, 1}, MuteRow{1, 0},
                                         MuteRow{5, 0},
                                         MuteRow{0xFFFFFFFFu, 0}),
                         [](const testing::TestParamInfo<MuteRow> &info) {
                           return paramName(info.param.before);
                         });

TEST_F(MuteTest, TogglesSpeakersWhileVolumeUsesMicrophone) {
  writeSettings("[Setting]\nVolComponentType=12\n");
  SimLine *microphone = simMixerAddLine(0x1003, 2);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 1);
  EXPECT_EQ(levelsOf(microphone), (std::vector<uint32_t>{32767, 32767}));
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(speakers()->mute, 1u);
  EXPECT_EQ(microphone->mute, 0u);
}

TEST_F(MuteTest, SpeakersWithoutMuteSwitchFail) {
  writeSettings("[Setting]\nVolComponentType=12\n");
  simMixerAddLine(0x1003, 2);
  speakers()->hasMute = 0;
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 0);
  EXPECT_EQ(simMixerLine(0x1003)->mute, 0u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_WRITE), 0u);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
}

} // namespace
