/*
 * Volume and mute commands on the speakers line, observed through the
 * test's own mixer handle. The stand-in taskbar is up, so every command
 * is also checked to refresh the clock exactly once.
 */
#include <string>
#include <vector>

#include "plugin_test.h"
#include "row_name.h"

struct CommandStep {
  int32_t commandId;
  uint32_t percent; /* the volume afterwards */
};

struct VolumeSequence {
  const char *name;
  uint32_t startLevel; /* raw, written by the test */
  uint32_t startMute;
  std::vector<CommandStep> steps;
};

/* Failure messages name the case instead of dumping its bytes. */
static void PrintTo(const VolumeSequence &sequence, std::ostream *out) {
  *out << sequence.name;
}

static const VolumeSequence VOLUME_SEQUENCES[] = {
    {"SetThenStepUpThenDown", 65535, 0, {{3050, 50}, {1010, 60}, {2005, 55}}},
    {"SetsTheExtremes", 30000, 0, {{3000, 0}, {3100, 100}}},
    {"ClampsAtTheTop", 0, 0, {{3098, 98}, {1005, 100}, {1005, 100}}},
    {"ClampsAtTheBottom", 65535, 0, {{3003, 3}, {2005, 0}, {2005, 0}}},
    {"WholeRangeStepsFromTheExtremes",
     65535,
     0,
     {{3000, 0}, {1100, 100}, {2100, 0}}},
    {"ZeroStepsKeepTheLevel", 0, 0, {{3042, 42}, {1000, 42}, {2000, 42}}},
    {"StepsUpFromSilence",
     65535,
     0,
     {{3000, 0}, {1001, 1}, {3000, 0}, {3100, 100}}},
    /* Steps start from the level read as a percent rounded to nearest:
     * 33100 is 50.51 %, 32900 is 50.20 %, 40000 is 61.04 %. */
    {"StepRoundsAFractionAboveHalfUp", 33100, 0, {{1000, 51}}},
    {"StepRoundsAFractionBelowHalfDown", 32900, 0, {{1000, 50}}},
    {"StepsFromALevelBetweenPercents", 40000, 0, {{1001, 62}, {2002, 60}}},
    {"VolumeCommandsLeaveMuteAlone", 65535, 1, {{3050, 50}, {1010, 60}}},
};

class VolumeSequenceTest
    : public PluginTest,
      public ::testing::WithParamInterface<VolumeSequence> {};

TEST_P(VolumeSequenceTest, EachStepReachesItsPercent) {
  const VolumeSequence &sequence = GetParam();
  ASSERT_NO_FATAL_FAILURE(
      presetSpeakers(sequence.startLevel, sequence.startMute));
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  for (const CommandStep &step : sequence.steps) {
    SCOPED_TRACE("command " + std::to_string(step.commandId));
    kitResetClockMessages();
    EXPECT_EQ(1, execute(step.commandId));
    EXPECT_TRUE(volumeIsPercent(speakers, step.percent));
    EXPECT_TRUE(muteIs(speakers, sequence.startMute));
    EXPECT_EQ(1, kitClockMessages().refreshes);
    EXPECT_EQ(0, kitClockMessages().misdirected);
  }
}

INSTANTIATE_TEST_SUITE_P(Speakers, VolumeSequenceTest,
                         ::testing::ValuesIn(VOLUME_SEQUENCES),
                         rowName<VolumeSequence>);

struct MuteCase {
  const char *name;
  uint32_t startMute; /* written by the test */
  uint32_t afterFirstToggle;
  uint32_t afterSecondToggle;
};

static void PrintTo(const MuteCase &mute, std::ostream *out) {
  *out << mute.name;
}

/* Any non-zero value is "muted"; another program may have written one
 * other than 1. */
static const MuteCase MUTE_CASES[] = {
    {"FromUnmuted", 0, 1, 0},
    {"FromMuted", 1, 0, 1},
    {"FromAMuteValueOfFive", 5, 0, 1},
};

class MuteToggleTest : public PluginTest,
                       public ::testing::WithParamInterface<MuteCase> {};

TEST_P(MuteToggleTest, TogglesAndLeavesTheVolumeAlone) {
  const MuteCase &mute = GetParam();
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(40000, mute.startMute));
  const uint32_t level = speakerLevel();
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(nullptr));
  EXPECT_EQ(1, execute(1));
  EXPECT_TRUE(muteIs(speakers, mute.afterFirstToggle));
  EXPECT_EQ(1, execute(1));
  EXPECT_TRUE(muteIs(speakers, mute.afterSecondToggle));
  EXPECT_TRUE(volumeIsLevel(speakers, level));
  EXPECT_EQ(2, kitClockMessages().refreshes);
  EXPECT_EQ(0, kitClockMessages().misdirected);
}

INSTANTIATE_TEST_SUITE_P(Speakers, MuteToggleTest,
                         ::testing::ValuesIn(MUTE_CASES), rowName<MuteCase>);
