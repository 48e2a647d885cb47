/*
 * Mute on and off, the microphone's mute and level (the default
 * recording devices for the console and communications roles), and
 * UnmuteOnChange.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

/* Recording devices 1 and 2; playback device 0 stays the default. */
enum { MIC_A = 1, MIC_B = 2, NONE = SIM_NO_DEFAULT };

class MicrophoneTest : public PluginTest {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
    simEndpointSetKind(MIC_A, AUDIO_CAPTURE, 1);
    simEndpointSetKind(MIC_B, AUDIO_CAPTURE, 1);
  }

  void expectNothingHeld(void) {
    EXPECT_EQ(simEndpointLiveReferences(), 0);
    EXPECT_EQ(simComApartment(), SIM_APARTMENT_NONE);
    EXPECT_EQ(simComEntered(), simComLeft());
    EXPECT_EQ(simEndpointMisuses(), 0u);
  }
};

struct MicrophoneRow {
  const char *name;
  int console, communications; /* default recording devices */
  int32_t mutedA, mutedB;      /* before */
  int32_t id;                  /* 11 toggle, 12 on, 13 off */
  SimEndpointOp faultOp;       /* with faultAfter, faultError */
  unsigned faultAfter;
  uint32_t faultError; /* 0: no fault */
  int result;
  int32_t afterA, afterB;
  unsigned writes; /* SetMute calls */
};

const MicrophoneRow MICROPHONE_ROWS[] = {
    {"ToggleOneDevice", MIC_A, MIC_A, 0, 0, 11, SIM_COM_ENTER, 0, 0, 1, 1, 0,
     1},
    {"ToggleOneDeviceBack", MIC_A, MIC_A, 1, 0, 11, SIM_COM_ENTER, 0, 0, 1, 0,
     0, 1},
    /* The console default decides; the other follows, written only where
     * it is not there yet. */
    {"ToggleTwoDevices", MIC_A, MIC_B, 0, 1, 11, SIM_COM_ENTER, 0, 0, 1, 1, 1,
     1},
    {"ToggleTwoDevicesBack", MIC_A, MIC_B, 1, 0, 11, SIM_COM_ENTER, 0, 0, 1, 0,
     0, 1},
    {"OnAlreadyOn", MIC_A, MIC_B, 1, 1, 12, SIM_COM_ENTER, 0, 0, 1, 1, 1, 0},
    {"OnBoth", MIC_A, MIC_B, 0, 0, 12, SIM_COM_ENTER, 0, 0, 1, 1, 1, 2},
    {"OffBoth", MIC_B, MIC_A, 1, 1, 13, SIM_COM_ENTER, 0, 0, 1, 0, 0, 2},
    {"OffAlreadyOff", MIC_A, MIC_A, 0, 0, 13, SIM_COM_ENTER, 0, 0, 1, 0, 0, 0},
    /* The communications device refuses: the console one is muted all the
     * same, and the command fails. */
    {"SecondRefuses", MIC_A, MIC_B, 0, 0, 12, SIM_ENDPOINT_SET_MUTE, 1,
     SIM_E_FAIL, 0, 1, 0, 2},
    {"NoRecordingDevice", NONE, NONE, 0, 0, 12, SIM_COM_ENTER, 0, 0, 0, 0, 0,
     0},
    /* No communications default at all: the console one is all there is. */
    {"NoCommunicationsDefault", MIC_A, NONE, 0, 0, 11, SIM_COM_ENTER, 0, 0, 1,
     1, 0, 1},
    /* It cannot be told: the console one is muted, the command fails. */
    {"CommunicationsLookupFails", MIC_A, MIC_B, 0, 0, 12, SIM_ENDPOINT_DEFAULT,
     1, SIM_E_FAIL, 0, 1, 0, 1},
    /* Ids unreadable: one device taken for two, found muted the second
     * time. */
    {"IdsUnreadable", MIC_A, MIC_A, 0, 0, 12, SIM_ENDPOINT_ID, 0, SIM_E_FAIL, 1,
     1, 0, 1},
    /* The second look cannot be made: the write's own result stands. */
    {"SecondLookFails", MIC_A, MIC_A, 0, 0, 11, SIM_ENDPOINT_ACTIVATE, 1,
     SIM_E_FAIL, 1, 1, 0, 1},
    {"ReadFails", MIC_A, MIC_B, 0, 0, 11, SIM_ENDPOINT_GET_MUTE, 0, SIM_E_FAIL,
     0, 0, 0, 0},
    {"CoreAudioAbsent", MIC_A, MIC_B, 0, 0, 12, SIM_ENDPOINT_CREATE, 0,
     SIM_REGDB_E_CLASSNOTREG, 0, 0, 0, 0},
    {"ComRefused", MIC_A, MIC_B, 0, 0, 13, SIM_COM_ENTER, 0, SIM_E_OUTOFMEMORY,
     0, 0, 0, 0},
};

class Microphone : public MicrophoneTest,
                   public testing::WithParamInterface<MicrophoneRow> {};

/* Whatever VolEndpoint says: the settings file here has none. */
TEST_P(Microphone, BringsEveryDefaultToOneState) {
  const MicrophoneRow &row = GetParam();
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_CONSOLE, row.console);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_COMMUNICATIONS,
                           row.communications);
  simEndpoint(MIC_A)->muted = row.mutedA;
  simEndpoint(MIC_B)->muted = row.mutedB;
  simEndpointFailAfter(row.faultOp, row.faultAfter, row.faultError);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  EXPECT_EQ(simEndpoint(MIC_A)->muted, row.afterA);
  EXPECT_EQ(simEndpoint(MIC_B)->muted, row.afterB);
  EXPECT_EQ(simEndpoint(0)->muted, 0) << "the speakers are not touched";
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_MUTE), row.writes);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 0u);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, Microphone, testing::ValuesIn(MICROPHONE_ROWS),
                         rowName<MicrophoneRow>);

/* ---- The microphone's level ------------------------------------------- */

struct MicLevelRow {
  const char *name;
  const char *settings;
  int console, communications; /* default recording devices */
  float scalarA, scalarB;      /* before */
  int32_t mutedA;              /* before, and after: never lifted */
  int32_t id;                  /* 8000 + n up, 9000 + n down, 10000 + n set */
  SimEndpointOp faultOp;       /* with faultAfter, faultError */
  unsigned faultAfter;
  uint32_t faultError; /* 0: no fault */
  int result;
  float afterA, afterB;
  unsigned writes; /* SetMasterVolumeLevelScalar calls */
};

const char UNMUTE[] = "[Setting]\nUnmuteOnChange=1\nVolEndpoint=1\n";

// clang-format off
const MicLevelRow MIC_LEVEL_ROWS[] = {
    /* A step starts from the louder device and brings both to one level. */
    {"StepUpFromTheLoudest", "", MIC_A, MIC_B, 0.3f, 0.5f, 0, 8010, SIM_COM_ENTER, 0, 0, 1, 0.6f, 0.6f, 2},
    {"StepDownFromTheLoudest", "", MIC_A, MIC_B, 0.5f, 0.3f, 0, 9010, SIM_COM_ENTER, 0, 0, 1, 0.4f, 0.4f, 2},
    {"SetsEvery", "", MIC_B, MIC_A, 0.1f, 0.9f, 0, 10040, SIM_COM_ENTER, 0, 0, 1, 0.4f, 0.4f, 2},
    {"OneDevice", "", MIC_A, MIC_A, 0.1f, 0.9f, 0, 10075, SIM_COM_ENTER, 0, 0, 1, 0.75f, 0.9f, 1},
    {"NoCommunicationsDefault", "", MIC_A, NONE, 0.1f, 0.9f, 0, 10030, SIM_COM_ENTER, 0, 0, 1, 0.3f, 0.9f, 1},
    /* Privacy: a level change never lifts a microphone's mute, whatever
     * UnmuteOnChange says. */
    {"NeverUnmutesOnASet", UNMUTE, MIC_A, MIC_B, 0.1f, 0.2f, 1, 10050, SIM_COM_ENTER, 0, 0, 1, 0.5f, 0.5f, 2},
    {"NeverUnmutesOnAStep", UNMUTE, MIC_A, MIC_B, 0.1f, 0.2f, 1, 8005, SIM_COM_ENTER, 0, 0, 1, 0.25f, 0.25f, 2},
    /* The second device refuses: the first is set all the same. */
    {"SecondRefuses", "", MIC_A, MIC_B, 0.1f, 0.2f, 0, 10050, SIM_ENDPOINT_SET_SCALAR, 1, SIM_E_FAIL, 0, 0.5f, 0.2f, 2},
    /* A level that cannot be read leaves a step nothing to start from. */
    {"ReadRefused", "", MIC_A, MIC_B, 0.1f, 0.2f, 0, 8010, SIM_ENDPOINT_GET_SCALAR, 1, SIM_E_FAIL, 0, 0.1f, 0.2f, 0},
    {"CommunicationsLookupFails", "", MIC_A, MIC_B, 0.1f, 0.2f, 0, 10060, SIM_ENDPOINT_DEFAULT, 1, SIM_E_FAIL, 0, 0.6f, 0.2f, 1},
    {"NoRecordingDevice", "", NONE, NONE, 0.1f, 0.2f, 0, 10060, SIM_COM_ENTER, 0, 0, 0, 0.1f, 0.2f, 0},
    {"CoreAudioAbsent", "", MIC_A, MIC_B, 0.1f, 0.2f, 0, 8010, SIM_ENDPOINT_CREATE, 0, SIM_REGDB_E_CLASSNOTREG, 0, 0.1f, 0.2f, 0},
};
// clang-format on

class MicrophoneLevel : public MicrophoneTest,
                        public testing::WithParamInterface<MicLevelRow> {};

TEST_P(MicrophoneLevel, BringsEveryDefaultToOneLevel) {
  const MicLevelRow &row = GetParam();
  writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_CONSOLE, row.console);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_COMMUNICATIONS,
                           row.communications);
  *simEndpoint(MIC_A) = {row.scalarA, row.mutedA};
  *simEndpoint(MIC_B) = {row.scalarB, row.mutedA};
  *simEndpoint(0) = {0.8f, 1};
  simEndpointFailAfter(row.faultOp, row.faultAfter, row.faultError);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  EXPECT_NEAR(simEndpoint(MIC_A)->scalar, row.afterA, 1e-6);
  EXPECT_NEAR(simEndpoint(MIC_B)->scalar, row.afterB, 1e-6);
  EXPECT_EQ(simEndpoint(MIC_A)->muted, row.mutedA);
  EXPECT_EQ(simEndpoint(MIC_B)->muted, row.mutedA);
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_MUTE), 0u);
  EXPECT_NEAR(simEndpoint(0)->scalar, 0.8f, 1e-6) << "the speakers untouched";
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_SCALAR), row.writes);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 0u);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, MicrophoneLevel,
                         testing::ValuesIn(MIC_LEVEL_ROWS),
                         rowName<MicLevelRow>);

/* A device that takes SetMute but does not keep it (Wine's stub) fails. */
TEST_F(MicrophoneTest, AMuteThatDoesNotHoldFails) {
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_CONSOLE, MIC_A);
  simEndpointSetMuteStub(1);
  EXPECT_EQ(KSTEvent_Execute(12, 0), 0);
  expectNothingHeld();
}

/* ---- Mute on and off: what the toggle acts on ------------------------- */

struct MuteStateRow {
  const char *name;
  const char *settings;
  int32_t id; /* 2 on, 3 off */
  uint32_t before, after;
  unsigned writes; /* to the mixer or the endpoint */
};

const char MIXER[] = "[Setting]\nVolEndpoint=0\n";
const char ENDPOINT[] = "[Setting]\nVolEndpoint=1\n";

const MuteStateRow MUTE_STATE_ROWS[] = {
    {"MixerOn", MIXER, 2, 0, 1, 1},
    {"MixerOnAlready", MIXER, 2, 7, 7, 0}, /* any non-zero value is on */
    {"MixerOff", MIXER, 3, 7, 0, 1},
    {"MixerOffAlready", MIXER, 3, 0, 0, 0},
    {"EndpointOn", ENDPOINT, 2, 0, 1, 1},
    {"EndpointOnAlready", ENDPOINT, 2, 1, 1, 0},
    {"EndpointOff", ENDPOINT, 3, 1, 0, 1},
    {"EndpointOffAlready", ENDPOINT, 3, 0, 0, 0},
};

class MuteState : public MicrophoneTest,
                  public testing::WithParamInterface<MuteStateRow> {};

TEST_P(MuteState, EndsInTheAskedStateWritingOnlyAChange) {
  const MuteStateRow &row = GetParam();
  writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  bool endpoint = row.settings == ENDPOINT;
  speakers()->mute = endpoint ? 0 : row.before;
  simEndpoint(0)->muted = endpoint ? (int32_t)row.before : 0;
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 1);
  EXPECT_EQ(endpoint ? (uint32_t)simEndpoint(0)->muted : speakers()->mute,
            row.after);
  EXPECT_EQ(endpoint ? simEndpointCalls(SIM_ENDPOINT_SET_MUTE)
                     : simMixerCalls(SIM_MIXER_WRITE),
            row.writes);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, MuteState, testing::ValuesIn(MUTE_STATE_ROWS),
                         rowName<MuteStateRow>);

/* ---- UnmuteOnChange --------------------------------------------------- */

struct UnmuteRow {
  const char *name;
  const char *settings;
  int32_t id;
  SimEndpointOp faultOp; /* fails from its first call when faultError */
  uint32_t faultError;
  int result;
  int32_t mutedAfter; /* the endpoint's, muted before */
};

const UnmuteRow UNMUTE_ROWS[] = {
    {"Set", "[Setting]\nVolEndpoint=1\nUnmuteOnChange=1\n", 3040, SIM_COM_ENTER,
     0, 1, 0},
    {"StepDown", "[Setting]\nVolEndpoint=1\nUnmuteOnChange=1\n", 2005,
     SIM_COM_ENTER, 0, 1, 0},
    {"Zero", "[Setting]\nVolEndpoint=1\nUnmuteOnChange=0\n", 3040,
     SIM_COM_ENTER, 0, 1, 1},
    {"Two", "[Setting]\nVolEndpoint=1\nUnmuteOnChange=2\n", 1005, SIM_COM_ENTER,
     0, 1, 1},
    {"Missing", "[Setting]\nVolEndpoint=1\n", 3040, SIM_COM_ENTER, 0, 1, 1},
    /* The volume took, the mute did not: the command fails. */
    {"MuteRefused", "[Setting]\nVolEndpoint=1\nUnmuteOnChange=1\n", 3040,
     SIM_ENDPOINT_SET_MUTE, SIM_E_FAIL, 0, 1},
    /* The volume did not take: the mute is left alone. */
    {"VolumeRefused", "[Setting]\nVolEndpoint=1\nUnmuteOnChange=1\n", 3040,
     SIM_ENDPOINT_SET_SCALAR, SIM_E_FAIL, 0, 1},
};

class UnmuteOnChange : public MicrophoneTest,
                       public testing::WithParamInterface<UnmuteRow> {};

TEST_P(UnmuteOnChange, LiftsTheMuteOnlyWhenAsked) {
  const UnmuteRow &row = GetParam();
  writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  *simEndpoint(0) = {0.5f, 1};
  simEndpointFail(row.faultOp, row.faultError);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  EXPECT_EQ(simEndpoint(0)->muted, row.mutedAfter);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, UnmuteOnChange, testing::ValuesIn(UNMUTE_ROWS),
                         rowName<UnmuteRow>);

/* On the classic mixer the speakers' mute is lifted, not the line's. */
TEST_F(MicrophoneTest, UnmuteOnChangeOnTheMixer) {
  writeSettings("[Setting]\nUnmuteOnChange=1\n");
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  speakers()->mute = 1;
  EXPECT_EQ(KSTEvent_Execute(1010, 0), 1);
  EXPECT_EQ(speakers()->mute, 0u);
  EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{6553, 6553}));
}

/* The endpoint's mute is checked by a second look; one that cannot be
 * made leaves the write's own result. */
TEST_F(MicrophoneTest, EndpointMuteStandsWhenTheSecondLookFails) {
  writeSettings(ENDPOINT);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointFailAfter(SIM_ENDPOINT_ACTIVATE, 1, SIM_E_FAIL);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(simEndpoint(0)->muted, 1);
  expectNothingHeld();
}

} // namespace
