/*
 * VolEndpoint=1: the commands act on the default playback endpoint through
 * Core Audio. The percent is the master scalar × 100 rounded half up; each
 * command takes whatever endpoint is the default at that moment, enters
 * and leaves COM in balance on the caller's thread, and releases every
 * interface before it returns.
 */
#include <limits>

#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

const char ENDPOINT_SETTINGS[] = "[Setting]\nVolEndpoint=1\n";

class EndpointTest : public PluginTest {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
  }

  void start(const char *settings) {
    writeSettings(settings);
    ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  }

  /* Nothing of the command is left behind: no interface, no apartment. */
  void expectNothingHeld(SimApartment apartment, unsigned depth) {
    EXPECT_EQ(simEndpointLiveReferences(), 0);
    EXPECT_EQ(simComApartment(), apartment);
    EXPECT_EQ(simComDepth(), depth);
    EXPECT_EQ(simComEntered(), simComLeft());
    EXPECT_EQ(simEndpointMisuses(), 0u) << "a call on a released interface";
  }

  void expectMixerUntouched(void) {
    for (int op = 0; op < SIM_MIXER_OPS; op++)
      EXPECT_EQ(simMixerCalls((SimMixerOp)op), 0u) << "mixer op " << op;
  }
};

/* ---- What each command does to the endpoint --------------------------- */

struct SemanticsRow {
  const char *name;
  int32_t id;
  float scalarBefore;
  int32_t mutedBefore;
  float scalarAfter;
  int32_t mutedAfter;
};

const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

const SemanticsRow SEMANTICS_ROWS[] = {
    {"Set0", 3000, 0.6f, 0, 0.0f, 0},
    {"Set33", 3033, 0.6f, 1, 0.33f, 1}, /* mute stays as it was */
    {"Set100", 3100, 0.0f, 0, 1.0f, 0},
    /* 0.125 reads 12.5, which rounds up to 13. */
    {"StepUpFromAHalf", 1005, 0.125f, 0, 0.18f, 0},
    {"StepUpFromJustBelowAHalf", 1005, 0.1249f, 0, 0.17f, 0},
    {"StepZeroRequantises", 1000, 0.876f, 0, 0.88f, 0},
    {"StepDownZeroFromAHalf", 2000, 0.375f, 0, 0.38f, 0},
    {"StepUpStopsAt100", 1005, 0.98f, 0, 1.0f, 0},
    {"StepDownStopsAt0", 2005, 0.03f, 0, 0.0f, 0},
    {"StepDown100", 2100, 1.0f, 1, 0.0f, 1},
    /* A scalar outside 0..1 reads as the nearer bound. */
    {"StepFromAboveTheTop", 2010, 1.5f, 0, 0.9f, 0},
    {"StepFromBelowTheBottom", 1010, -0.5f, 0, 0.1f, 0},
    {"MuteOn", 1, 0.4f, 0, 0.4f, 1},
    {"MuteOff", 1, 0.4f, 1, 0.4f, 0},
};

class EndpointCommand : public EndpointTest,
                        public testing::WithParamInterface<SemanticsRow> {};

TEST_P(EndpointCommand, ChangesTheDefaultEndpointOnly) {
  const SemanticsRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  *simEndpoint(0) = {row.scalarBefore, row.mutedBefore};
  setLevels(speakers(), {1234, 1234});
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 1);
  EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, row.scalarAfter);
  EXPECT_EQ(simEndpoint(0)->muted, row.mutedAfter);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
  expectMixerUntouched();
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, EndpointCommand,
                         testing::ValuesIn(SEMANTICS_ROWS),
                         rowName<SemanticsRow>);

/* Every percent that Set writes reads back as itself. */
TEST_F(EndpointTest, EveryPercentReadsBackAsWritten) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  for (int32_t percent = 0; percent <= 100; percent++) {
    ASSERT_EQ(KSTEvent_Execute(3000 + percent, 0), 1);
    ASSERT_EQ(KSTEvent_Execute(1000, 0), 1);
    EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, (float)percent / 100.0f) << percent;
  }
}

/* ---- Failures: the command fails and nothing changes ------------------- */

struct FaultRow {
  const char *name;
  SimEndpointOp op;
  uint32_t error;
  int32_t id;
};

const FaultRow FAULT_ROWS[] = {
    {"EnterOutOfMemory_Set", SIM_COM_ENTER, SIM_E_OUTOFMEMORY, 3050},
    {"EnterInvalidArg_Mute", SIM_COM_ENTER, SIM_E_INVALIDARG, 1},
    {"Create_Step", SIM_ENDPOINT_CREATE, SIM_E_OUTOFMEMORY, 1010},
    {"Create_Mute", SIM_ENDPOINT_CREATE, SIM_E_FAIL, 1},
    {"Default_Set", SIM_ENDPOINT_DEFAULT, SIM_E_NOTFOUND, 3050},
    {"Default_Step", SIM_ENDPOINT_DEFAULT, SIM_E_FAIL, 2010},
    /* Only the enumerator's own class being missing means "no Core
     * Audio"; the same code from a later step is a plain failure. */
    {"DefaultClassNotRegistered", SIM_ENDPOINT_DEFAULT, SIM_REGDB_E_CLASSNOTREG,
     3050},
    {"Activate_Set", SIM_ENDPOINT_ACTIVATE, SIM_E_NOTIMPL, 3050},
    {"Activate_Mute", SIM_ENDPOINT_ACTIVATE, SIM_AUDCLNT_E_DEVICE_INVALIDATED,
     1},
    {"ActivateClassNotRegistered", SIM_ENDPOINT_ACTIVATE,
     SIM_REGDB_E_CLASSNOTREG, 1010},
    {"GetScalar_Step", SIM_ENDPOINT_GET_SCALAR, SIM_E_NOTIMPL, 1010},
    {"GetScalar_StepDown", SIM_ENDPOINT_GET_SCALAR, SIM_E_FAIL, 2010},
    {"SetScalar_Set", SIM_ENDPOINT_SET_SCALAR, SIM_E_NOTIMPL, 3050},
    {"SetScalar_Step", SIM_ENDPOINT_SET_SCALAR,
     SIM_AUDCLNT_E_DEVICE_INVALIDATED, 1010},
    {"GetMute", SIM_ENDPOINT_GET_MUTE, SIM_E_NOTIMPL, 1},
    {"SetMute", SIM_ENDPOINT_SET_MUTE, SIM_E_FAIL, 1},
};

class EndpointFault : public EndpointTest,
                      public testing::WithParamInterface<FaultRow> {};

TEST_P(EndpointFault, FailsWithoutChangeOrClockAndRecovers) {
  const FaultRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  *simEndpoint(0) = {0.3f, 0};
  setLevels(speakers(), {1234, 1234});
  simEndpointFail(row.op, row.error);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 0);
  EXPECT_GT(simEndpointCalls(row.op), 0u) << "the fault was met";
  EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, 0.3f);
  EXPECT_EQ(simEndpoint(0)->muted, 0);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
  /* Never the per-application mixer where Core Audio exists. */
  expectMixerUntouched();
  expectNothingHeld(SIM_APARTMENT_NONE, 0);

  simEndpointFail(row.op, 0);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 1);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, EndpointFault, testing::ValuesIn(FAULT_ROWS),
                         rowName<FaultRow>);

/* A step that reports success but hands back no interface failed: the
 * command fails, never falls back to the mixer, and calls nothing on the
 * missing interface. */
struct NothingRow {
  const char *name;
  SimEndpointOp op;
  int32_t id;
};

const NothingRow NOTHING_ROWS[] = {
    {"Create_Set", SIM_ENDPOINT_CREATE, 3050},
    {"Default_Mute", SIM_ENDPOINT_DEFAULT, 1},
    {"Activate_Step", SIM_ENDPOINT_ACTIVATE, 1010},
};

class EndpointHandsBackNothing
    : public EndpointTest,
      public testing::WithParamInterface<NothingRow> {};

TEST_P(EndpointHandsBackNothing, FailsAndTouchesNothing) {
  const NothingRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  *simEndpoint(0) = {0.3f, 0};
  simEndpointHandBackNothing(row.op, 1);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 0);
  EXPECT_EQ(simEndpointCalls(row.op), 1u);
  EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, 0.3f);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
  expectMixerUntouched();
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, EndpointHandsBackNothing,
                         testing::ValuesIn(NOTHING_ROWS), rowName<NothingRow>);

TEST_F(EndpointTest, NoDefaultEndpointFails) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  simEndpointSetDefault(SIM_NO_DEFAULT);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 0);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
  expectMixerUntouched();
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

TEST_F(EndpointTest, AScalarThatIsNoNumberIsNeverStepped) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  simEndpoint(0)->scalar = NOT_A_NUMBER;
  EXPECT_EQ(KSTEvent_Execute(1005, 0), 0);
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_SCALAR), 0u);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
}

/* The mute is confirmed by a second look at the endpoint, so a SetMute
 * that only its own interface remembers (Wine's stub) is no success. */
TEST_F(EndpointTest, AMuteThatDoesNotHoldFails) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  simEndpointSetMuteStub(1);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 0);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 0);
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_MUTE), 2u);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

TEST_F(EndpointTest, MuteLooksAtTheEndpointAgain) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  ASSERT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_ACTIVATE), 2u);
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_GET_MUTE), 2u);
  EXPECT_EQ(simComEntered(), 2u);
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

/* ---- No Core Audio: the classic mixer, which is the machine's own ----- */

class WithoutCoreAudio : public EndpointTest,
                         public testing::WithParamInterface<int32_t> {};

TEST_P(WithoutCoreAudio, TheCommandRunsOnTheMixer) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  simEndpointSetPresent(0);
  setLevels(speakers(), {16384, 8192});
  EXPECT_EQ(KSTEvent_Execute(GetParam(), 0), 1);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_WRITE), 1u);
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_CREATE), 1u);
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

INSTANTIATE_TEST_SUITE_P(Ids, WithoutCoreAudio,
                         testing::Values(1, 1010, 2010, 3050),
                         [](const testing::TestParamInfo<int32_t> &info) {
                           return paramName(info.param);
                         });

TEST_F(EndpointTest, WithoutCoreAudioAMixerFailureFails) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  simEndpointSetPresent(0);
  simMixerSetPresent(0);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 0);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
}

/* ---- The calling thread's COM apartment ------------------------------ */

struct ApartmentRow {
  const char *name;
  SimApartment before;
  uint32_t enterFault;        /* injected into CoInitializeEx, or 0 */
  int result;                 /* of every command */
  unsigned enteredPerCommand; /* successful CoInitializeEx calls */
};

const ApartmentRow APARTMENT_ROWS[] = {
    {"NoCom", SIM_APARTMENT_NONE, 0, 1, 1},
    {"SingleThreaded", SIM_APARTMENT_STA, 0, 1, 1}, /* S_FALSE, undone */
    {"MultiThreaded", SIM_APARTMENT_MTA, 0, 1, 0},  /* refused, kept */
    /* Refused on a thread without COM: nothing to leave, and nothing to
     * create objects in. */
    {"RefusedWithoutCom", SIM_APARTMENT_NONE, SIM_RPC_E_CHANGED_MODE, 0, 0},
    {"EnterFails", SIM_APARTMENT_STA, SIM_E_OUTOFMEMORY, 0, 0},
};

class EndpointApartment : public EndpointTest,
                          public testing::WithParamInterface<ApartmentRow> {};

TEST_P(EndpointApartment, LeavesTheThreadAsItFoundIt) {
  const ApartmentRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  simComSetApartment(row.before);
  simEndpointFail(SIM_COM_ENTER, row.enterFault);
  const int32_t commands[] = {3040, 1010, 2005, 1, 1};
  for (int32_t id : commands)
    EXPECT_EQ(KSTEvent_Execute(id, 0), row.result) << id;
  /* Five commands, and the mute's second look at the endpoint twice. */
  EXPECT_EQ(simComEntered(), 7 * row.enteredPerCommand);
  expectNothingHeld(row.before, row.before == SIM_APARTMENT_NONE ? 0 : 1);
  KSTEvent_Unload();
  expectNothingHeld(row.before, row.before == SIM_APARTMENT_NONE ? 0 : 1);
  if (row.result) {
    EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, 0.45f);
    EXPECT_EQ(simEndpoint(0)->muted, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EndpointApartment,
                         testing::ValuesIn(APARTMENT_ROWS),
                         rowName<ApartmentRow>);

/* ---- The default endpoint, as it is at each command ------------------- */

TEST_F(EndpointTest, EachCommandActsOnTheDefaultOfThatMoment) {
  ASSERT_NO_FATAL_FAILURE(start(ENDPOINT_SETTINGS));
  *simEndpoint(0) = {0.2f, 0};
  *simEndpoint(1) = {0.9f, 0};
  ASSERT_EQ(KSTEvent_Execute(1010, 0), 1);
  simEndpointSetDefault(1); /* headphones plugged in */
  ASSERT_EQ(KSTEvent_Execute(1010, 0), 1);
  ASSERT_EQ(KSTEvent_Execute(1, 0), 1);
  simEndpointSetDefault(0);
  ASSERT_EQ(KSTEvent_Execute(2005, 0), 1);
  EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, 0.25f);
  EXPECT_EQ(simEndpoint(0)->muted, 0);
  EXPECT_FLOAT_EQ(simEndpoint(1)->scalar, 1.0f);
  EXPECT_EQ(simEndpoint(1)->muted, 1);
  /* One look per command, and the mute's second one. */
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_DEFAULT), 5u);
  expectNothingHeld(SIM_APARTMENT_NONE, 0);
}

/* ---- Only VolEndpoint=1 leaves the classic mixer ---------------------- */

struct SettingRow {
  const char *name;
  const char *settings;
  int endpoint;
};

const SettingRow SETTING_ROWS[] = {
    {"NoFile", nullptr, 0},
    {"NoKey", "[Setting]\nVolComponentType=4\n", 0},
    {"Zero", "[Setting]\nVolEndpoint=0\n", 0},
    {"Two", "[Setting]\nVolEndpoint=2\n", 0},
    {"MinusOne", "[Setting]\nVolEndpoint=-1\n", 0},
    {"Empty", "[Setting]\nVolEndpoint=\n", 0},
    {"Text", "[Setting]\nVolEndpoint=yes\n", 0},
    {"OtherSection", "[Command]\nVolEndpoint=1\n", 0},
    {"One", "[Setting]\nVolEndpoint=1\n", 1},
    {"OneInHex", "[setting]\nvolendpoint = 0x1\n", 1},
};

class EndpointSetting : public EndpointTest,
                        public testing::WithParamInterface<SettingRow> {};

TEST_P(EndpointSetting, ChoosesTheBackend) {
  const SettingRow &row = GetParam();
  if (row.settings)
    writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  setLevels(speakers(), {16384, 16384});
  for (int32_t id : {3050, 1005, 1})
    EXPECT_EQ(KSTEvent_Execute(id, 0), 1) << id;
  EXPECT_EQ(simEndpointAllCalls() > 0, row.endpoint == 1);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), row.endpoint ? 0u : 1u);
  if (row.endpoint) {
    EXPECT_FLOAT_EQ(simEndpoint(0)->scalar, 0.55f);
    EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{16384, 16384}));
  } else {
    EXPECT_EQ(levelsOf(speakers()), (std::vector<uint32_t>{36044, 36044}));
  }
  EXPECT_EQ(simTrayClockNotifications(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Rows, EndpointSetting, testing::ValuesIn(SETTING_ROWS),
                         rowName<SettingRow>);

/* A command before KSTEvent_Init runs on the classic mixer: the setting
 * is not read until then. */
TEST_F(EndpointTest, BeforeInitTheMixerIsUsed) {
  writeSettings(ENDPOINT_SETTINGS);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(speakers()->mute, 1u);
  EXPECT_EQ(simEndpointCalls(SIM_COM_ENTER), 0u);
}

} // namespace
