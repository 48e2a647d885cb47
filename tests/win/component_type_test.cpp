/*
 * VolComponentType in the settings file chooses the mixer line of the
 * volume commands; KSTEvent_Init reads it. Mute always acts on the
 * speakers. Wine's device 0 has a speakers line (type 4) and a wave-out
 * source line (0x1008, setting 17), nothing else.
 */
#include <string>

#include "plugin_test.h"
#include "row_name.h"

struct SettingCase {
  const char *name;
  const char *settings; /* null: no settings file */
};

/* Failure messages name the case instead of dumping its bytes. */
static void PrintTo(const SettingCase &setting, std::ostream *out) {
  *out << setting.name;
}

/* A level no command below produces, so that a stray write shows. */
static const uint32_t START_LEVEL = 20000;

static const int32_t VOLUME_COMMANDS[] = {3050, 1010, 2005, 1000, 3000, 3100};

/* Settings that leave the volume commands on the speakers: the default,
 * the speakers' own number, and numbers outside every line's range. */
static const SettingCase SPEAKERS_SETTINGS[] = {
    {"NoSettingsFile", nullptr},
    {"NoSettingKey", "[Setting]\r\n"},
    {"KeyInAnotherSection", "[Command]\r\nVolComponentType=5\r\n"},
    {"Speakers", "[Setting]\r\nVolComponentType=4\r\n"},
    {"Negative", "[Setting]\r\nVolComponentType=-1\r\n"},
    {"PastTheLastSource", "[Setting]\r\nVolComponentType=20\r\n"},
};

class SpeakersSettingTest : public PluginTest,
                            public ::testing::WithParamInterface<SettingCase> {
};

TEST_P(SpeakersSettingTest, VolumeCommandsMoveTheSpeakers) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(START_LEVEL, 0));
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(GetParam().settings));
  EXPECT_EQ(1, execute(3050));
  EXPECT_TRUE(volumeIsPercent(speakers, 50));
  EXPECT_EQ(1, execute(1010));
  EXPECT_TRUE(volumeIsPercent(speakers, 60));
  EXPECT_EQ(2, kitClockMessages().refreshes);
}

INSTANTIATE_TEST_SUITE_P(VolComponentType, SpeakersSettingTest,
                         ::testing::ValuesIn(SPEAKERS_SETTINGS),
                         rowName<SettingCase>);

/* Settings naming a line that device 0 does not have. */
static const SettingCase MISSING_LINE_SETTINGS[] = {
    {"UndefinedDestination0", "[Setting]\r\nVolComponentType=0\r\n"},
    {"Headphones5", "[Setting]\r\nVolComponentType=5\r\n"},
    {"VoiceIn8", "[Setting]\r\nVolComponentType=8\r\n"},
    {"UndefinedSource9", "[Setting]\r\nVolComponentType=9\r\n"},
    {"AnalogSource19", "[Setting]\r\nVolComponentType=19\r\n"},
};

class MissingLineSettingTest
    : public PluginTest,
      public ::testing::WithParamInterface<SettingCase> {};

TEST_P(MissingLineSettingTest, VolumeCommandsFailQuietlyMuteStillWorks) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(START_LEVEL, 0));
  const uint32_t level = speakerLevel();
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(startWithSettings(GetParam().settings));
  for (int32_t command : VOLUME_COMMANDS) {
    SCOPED_TRACE("command " + std::to_string(command));
    EXPECT_EQ(0, execute(command));
    EXPECT_TRUE(volumeIsLevel(speakers, level));
  }
  EXPECT_EQ(0, kitClockMessages().refreshes);
  EXPECT_EQ(1, execute(1));
  EXPECT_TRUE(muteIs(speakers, 1));
  EXPECT_EQ(1, kitClockMessages().refreshes);
  EXPECT_EQ(0, kitClockMessages().misdirected);
}

INSTANTIATE_TEST_SUITE_P(VolComponentType, MissingLineSettingTest,
                         ::testing::ValuesIn(MISSING_LINE_SETTINGS),
                         rowName<SettingCase>);

struct PercentStep {
  int32_t commandId;
  uint32_t percent; /* the wave-out volume afterwards */
};

class WaveOutSettingTest : public PluginTest {
protected:
  void TearDown() override {
    kitCloseMixerLine(&waveOut);
    PluginTest::TearDown();
  }
  MixerLineView waveOut = {};
};

/* Wine answers reads of the wave-out line's controls with success but
 * fills in nothing (and ignores writes to them); the plug-in must then
 * refuse to write a level made up from an unreported reading. Where the
 * line does report, the commands act on it. Either way the speakers stay
 * where they were, and the clock hears of each command that succeeded. */
TEST_F(WaveOutSettingTest, VolumeCommandsLeaveTheSpeakersMuteActsOnThem) {
  ASSERT_NO_FATAL_FAILURE(presetSpeakers(START_LEVEL, 0));
  const uint32_t level = speakerLevel();
  ASSERT_TRUE(openMixerProbe(&waveOut, WAVE_OUT_LINE));
  uint32_t reading = 0;
  const bool lineReports =
      kitReadControl(&waveOut, waveOut.volumeControl, &reading);
  ASSERT_NO_FATAL_FAILURE(showTaskbar());
  ASSERT_NO_FATAL_FAILURE(
      startWithSettings("[Setting]\r\nVolComponentType=17\r\n"));
  const PercentStep steps[] = {{3050, 50}, {1010, 60}, {2005, 55}};
  int succeeded = 0;
  for (const PercentStep &step : steps) {
    SCOPED_TRACE("command " + std::to_string(step.commandId));
    int32_t result = execute(step.commandId);
    EXPECT_EQ(lineReports ? 1 : 0, result);
    if (lineReports) {
      EXPECT_TRUE(volumeIsPercent(waveOut, step.percent));
    }
    EXPECT_TRUE(volumeIsLevel(speakers, level));
    succeeded += result;
  }
  EXPECT_EQ(succeeded, kitClockMessages().refreshes);
  EXPECT_EQ(1, execute(1));
  EXPECT_TRUE(muteIs(speakers, 1));
  EXPECT_EQ(succeeded + 1, kitClockMessages().refreshes);
}
