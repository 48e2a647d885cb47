/*
 * The volume as a percent: reading with rounding, writing with the balance
 * between channels kept, and the one-time discovery of the control.
 */
#include <climits>

#include "mixer/component_type.h"
#include "mixer/mixer.h"
#include "plugin/plugin.h"
#include "plugin/settings.h"
#include "unit_support.h"

namespace {

class VolumeTest : public PluginTest {};

struct ReadRow {
  uint32_t minimum, maximum;
  std::vector<uint32_t> levels; /* speakers, two channels */
  int ok;
  uint32_t percent;
};

const ReadRow READ_ROWS[] = {
    {0, 65535, {0, 0}, 1, 0},
    {0, 65535, {327, 0}, 1, 0},
    {0, 65535, {328, 0}, 1, 1},
    {0, 65535, {655, 0}, 1, 1},
    {0, 65535, {32767, 0}, 1, 50},
    {0, 65535, {32768, 0}, 1, 50},
    {0, 65535, {33096, 0}, 1, 51},
    {0, 65535, {65535, 0}, 1, 100},
    {0, 65535, {1000, 40000}, 1, 61}, /* the loudest channel counts */
    {70000, 70100, {70000, 70000}, 1, 0},
    {70000, 70100, {70049, 70000}, 1, 49},
    {70000, 70100, {70050, 70000}, 1, 50},
    {70000, 70100, {70100, 70000}, 1, 100},
    {0, 0xFFFFFFFFu, {0x80000000u, 0}, 1, 50}, /* value * 100 needs 64 bits */
    {500, 500, {500, 500}, 0, POISON},         /* no range, no percent */
};

class ReadPercent : public PluginTest,
                    public testing::WithParamInterface<ReadRow> {};

TEST_P(ReadPercent, RoundsHalfUpOverTheRange) {
  const ReadRow &row = GetParam();
  speakers()->minimum = row.minimum;
  speakers()->maximum = row.maximum;
  setLevels(speakers(), row.levels);
  uint32_t percent = POISON;
  EXPECT_EQ(readVolumePercent(4, &percent), row.ok);
  EXPECT_EQ(percent, row.percent);
}

INSTANTIATE_TEST_SUITE_P(Levels, ReadPercent, testing::ValuesIn(READ_ROWS),
                         [](const testing::TestParamInfo<ReadRow> &info) {
                           const ReadRow &row = info.param;
                           return paramName(row.minimum) + "_" +
                                  paramName(row.maximum) + "_" +
                                  paramName(row.levels[0]) + "_" +
                                  paramName(row.levels[1]);
                         });

struct WriteStep {
  uint32_t percent;
  std::vector<uint32_t> levels; /* every channel of the line after it */
};

struct LineShape {
  uint32_t channels, minimum, maximum;
  int firstChannelOnly;
};

struct WriteRow {
  const char *name;
  LineShape shape;
  std::vector<uint32_t> initial;
  std::vector<WriteStep> steps; /* Set commands, in turn */
};

const LineShape STEREO = {2, 0, 65535, 0};

// clang-format off
const WriteRow WRITE_ROWS[] = {
    {"BalanceSurvivesSilence", STEREO, {65535, 32767},
     {{50, {32767, 16383}}, {0, {0, 0}}, {50, {32767, 16383}}}},
    {"SilentAtDiscoveryGoesToTarget", STEREO, {0, 0}, {{50, {32767, 32767}}}},
    {"ThreeChannelsKeepRatio", {3, 0, 65535, 0}, {30000, 0, 15000},
     {{100, {65535, 0, 32767}}}},
    {"OneChannel", {1, 0, 65535, 0}, {20000}, {{33, {21626}}}},
    {"WideBoundsNeed64Bits", {2, 70000, 70100, 0}, {70100, 70050},
     {{50, {70050, 70000}}}},
    /* A level of all bits set is a real one on such a control. */
    {"FullThirtyTwoBitRange", {2, 0, 0xFFFFFFFFu, 0},
     {0xFFFFFFFFu, 0x80000000u},
     {{50, {2147483647, 1073741823}}, {37, {1589137899, 794568949}}}},
    {"TwelveChannelsWriteTen", {12, 0, 65535, 0},
     {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000,
      POISON, POISON},
     {{100, {6553, 13107, 19660, 26214, 32767, 39321, 45874, 52428, 58981,
             65535, POISON, POISON}}}},
    /* Such a line reports its loudest level in the first value only and
     * spreads the first value written over every channel. */
    {"FirstChannelOnlyLine", {2, 0, 65535, 1}, {40000, 20000},
     {{50, {32767, 32767}}, {0, {0, 0}}, {50, {32767, 32767}}}},
    /* The ratio would put the quiet channel below the control's floor. */
    {"QuietChannelStopsAtMinimum", {2, 100, 200, 0}, {150, 0},
     {{50, {150, 100}}, {0, {100, 100}}}},
};
// clang-format on

class WritePercent : public PluginTest,
                     public testing::WithParamInterface<WriteRow> {};

TEST_P(WritePercent, LoudestChannelLandsOnTarget) {
  const WriteRow &row = GetParam();
  simMixerRemoveLines();
  SimLine *line =
      simMixerAddLine(MIXER_COMPONENT_DST_SPEAKERS, row.shape.channels);
  line->minimum = row.shape.minimum;
  line->maximum = row.shape.maximum;
  line->firstChannelOnly = row.shape.firstChannelOnly;
  setLevels(line, row.initial);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  for (const WriteStep &step : row.steps) {
    EXPECT_EQ(KSTEvent_Execute(3000 + (int32_t)step.percent, 0), 1);
    EXPECT_EQ(levelsOf(line), step.levels) << "after " << step.percent << "%";
  }
}

INSTANTIATE_TEST_SUITE_P(Lines, WritePercent, testing::ValuesIn(WRITE_ROWS),
                         rowName<WriteRow>);

/* Lines the volume cannot be changed on: the command fails before any
 * write and the clock is left alone. */
TEST_F(VolumeTest, UnchangeableLinesFailWithoutWriting) {
  simMixerLine(MIXER_COMPONENT_DST_SPEAKERS)->minimum = 0xFFFF;
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(KSTEvent_Execute(1005, 0), 0) << "a control without a range";
  EXPECT_EQ(KSTEvent_Execute(2005, 0), 0);
  releaseMixer();
  simMixerRemoveLines();
  simMixerAddLine(MIXER_COMPONENT_DST_SPEAKERS, 0);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 0) << "a line without channels";
  releaseMixer();
  simMixerLine(MIXER_COMPONENT_DST_SPEAKERS)->channels = 2;
  simMixerLine(MIXER_COMPONENT_DST_SPEAKERS)->reportsNothing = 1;
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 0) << "a read that fills in nothing";
  EXPECT_EQ(KSTEvent_Execute(1005, 0), 0);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_WRITE), 0u);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
}

/* A control whose maximum lies below its minimum has no level to write;
 * the mute switch of the same line still works. */
TEST_F(VolumeTest, InvertedBoundsFailWithoutWriting) {
  speakers()->minimum = 70000;
  speakers()->maximum = 65535;
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  for (int32_t id : {3050, 3000, 1005, 2005})
    EXPECT_EQ(KSTEvent_Execute(id, 0), 0) << id;
  EXPECT_EQ(simMixerCalls(SIM_MIXER_READ), 0u);
  EXPECT_EQ(simMixerLastWrite(), nullptr);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
}

TEST_F(VolumeTest, MixerIsOpenedOnceAndSharedWithMute) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  for (int32_t id : {3050, 1005, 1, 2005, 1})
    EXPECT_EQ(KSTEvent_Execute(id, 0), 1) << id;
  EXPECT_EQ(simMixerOpenHandles(), 1u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 1u);
  /* One look-up for the volume control, one for the mute control. */
  EXPECT_EQ(simMixerCalls(SIM_MIXER_LINE), 2u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_CONTROL), 2u);
}

TEST_F(VolumeTest, LineFoundBeforeInitIsKeptForTheLoad) {
  SimLine *first = simMixerAddLine(MIXER_COMPONENT_DST_FIRST, 2);
  ASSERT_EQ(KSTEvent_Execute(3050, 0), 1);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  ASSERT_EQ(settingValue(&startupSettings(), SETTING_COMPONENT_TYPE), 4);
  EXPECT_EQ(KSTEvent_Execute(3100, 0), 1);
  EXPECT_EQ(levelsOf(first), (std::vector<uint32_t>{65535, 65535}));
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{0, 0}));
}

TEST_F(VolumeTest, FailedDiscoveryIsRetriedWithTheSettingInForce) {
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 0) << "no line of component type 0";
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 1);
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{32767, 32767}));
}

struct TypeRow {
  int32_t setting;
  uint32_t componentType;
};

class ComponentType : public testing::TestWithParam<TypeRow> {};

TEST_P(ComponentType, MapsSettingToMixerLine) {
  EXPECT_EQ(componentTypeFromSetting(GetParam().setting),
            GetParam().componentType);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ComponentType,
    testing::Values(TypeRow{0, 0}, TypeRow{1, 1}, TypeRow{4, 4}, TypeRow{8, 8},
                    TypeRow{9, 0x1000}, TypeRow{12, 0x1003},
                    TypeRow{19, 0x100A}, TypeRow{20, 4}, TypeRow{-1, 4},
                    TypeRow{INT_MIN, 4}, TypeRow{INT_MAX, 4}),
    [](const testing::TestParamInfo<TypeRow> &info) {
      return paramName(info.param.setting);
    });

} // namespace
