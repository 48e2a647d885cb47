/*
 * The real volume.dll with VolEndpoint=1, in a Wine prefix where the
 * MMDeviceEnumerator class is the project's fake Core Audio server: the
 * plug-in's CoInitializeEx, CoCreateInstance and method calls go through
 * Wine's COM into the fake, whose state the test reads in-process.
 */
#include <objbase.h>

#include <mmdeviceapi.h>

#include <string>

#include "apartment_rows.h"
#include "fake_core_audio/fake_core_audio.h"
#include "plugin_host.h"
#include "row_name.h"

namespace {

const char ENDPOINT_SETTINGS[] = "[Setting]\r\nVolEndpoint=1\r\n";

bool singleThreaded(int apartment) {
  return apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA;
}

class FakeEndpointTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(openFakeAudio(&fake, &state, &reset)); }

  void TearDown() override {
    removePlugin(&plugin);
    kitDestroyTaskbar(&taskbar);
    /* Nothing the plug-in obtained is still referenced once it is gone. */
    if (state) {
      EXPECT_EQ(state->liveReferences, 0);
    }
    if (fake)
      FreeLibrary(fake);
  }

  /* Wine's input method support enters COM on a thread that creates a
   * window, so the taskbar leaves the thread in a single-threaded
   * apartment; without it the thread has no COM. */
  void start(bool withTaskbar = true,
             const char *settings = ENDPOINT_SETTINGS) {
    char reason[256] = "";
    if (withTaskbar) {
      ASSERT_TRUE(kitCreateTaskbar(&taskbar, reason, sizeof reason)) << reason;
    }
    ASSERT_TRUE(installPlugin(&plugin, settings));
    ASSERT_TRUE(loadPlugin(&plugin));
    ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
  }

  int32_t execute(int32_t id) { return plugin.exports.execute(id, 0); }

  HMODULE fake = nullptr;
  FakeAudioResetFunction reset = nullptr;
  FakeAudioState *state = nullptr;
  InstalledPlugin plugin = {};
  StandInTaskbar taskbar = {};
};

/* The fake is the class's server in this prefix; the kit's own read
 * reaches it too. */
TEST_F(FakeEndpointTest, TheFakeServesTheEnumeratorClass) {
  EndpointView view;
  ASSERT_EQ(S_OK, kitReadEndpoint(&view));
  EXPECT_FLOAT_EQ(view.scalar, 0.5f);
  EXPECT_EQ(view.muted, 0);
  EXPECT_EQ(state->calls[FAKE_CREATE_INSTANCE], 1);
  EXPECT_EQ(state->liveReferences, 0);
}

/* ---- Commands, through real COM calls ------------------------------- */

struct CommandRow {
  int32_t id;
  float scalarBefore;
  BOOL mutedBefore;
  float scalarAfter;
  BOOL mutedAfter;
};

/* A float crosses the method tables both ways (0.37 in; 0.5 out, 0.6 in)
 * and a BOOL too. The arithmetic itself is tested natively. */
const CommandRow COMMAND_ROWS[] = {
    {3037, 0.5f, FALSE, 0.37f, FALSE},
    {1010, 0.5f, FALSE, 0.6f, FALSE},
    {1, 0.5f, FALSE, 0.5f, TRUE},
    {1, 0.5f, TRUE, 0.5f, FALSE},
};

class FakeEndpointCommand : public FakeEndpointTest,
                            public testing::WithParamInterface<CommandRow> {};

TEST_P(FakeEndpointCommand, ChangesTheDefaultDeviceAndRefreshesTheClock) {
  const CommandRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start());
  state->devices[0] = {row.scalarBefore, row.mutedBefore};
  kitResetClockMessages();
  EXPECT_EQ(1, execute(row.id));
  EXPECT_FLOAT_EQ(state->devices[0].scalar, row.scalarAfter);
  EXPECT_EQ(state->devices[0].muted, row.mutedAfter);
  EXPECT_FLOAT_EQ(state->devices[1].scalar, 0.25f);
  EXPECT_EQ(kitClockMessages().refreshes, 1);
  EXPECT_EQ(state->lastFlow, 0) << "eRender";
  EXPECT_EQ(state->lastRole, 0) << "eConsole";
  /* A mute is confirmed through a second activation. */
  EXPECT_EQ(state->calls[FAKE_ACTIVATE], row.id == 1 ? 2 : 1);
  EXPECT_EQ(state->liveReferences, 0);
}

INSTANTIATE_TEST_SUITE_P(Ids, FakeEndpointCommand,
                         testing::ValuesIn(COMMAND_ROWS),
                         [](const testing::TestParamInfo<CommandRow> &info) {
                           return std::to_string(info.param.id) + "_" +
                                  std::to_string(info.index);
                         });

TEST_F(FakeEndpointTest, EachCommandTakesTheDefaultOfThatMoment) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3040));
  state->defaultDevice = 1;
  ASSERT_EQ(1, execute(1010));
  ASSERT_EQ(1, execute(1));
  state->defaultDevice = 0;
  ASSERT_EQ(1, execute(2010));
  EXPECT_FLOAT_EQ(state->devices[0].scalar, 0.3f);
  EXPECT_EQ(state->devices[0].muted, FALSE);
  EXPECT_FLOAT_EQ(state->devices[1].scalar, 0.35f);
  EXPECT_EQ(state->devices[1].muted, TRUE);
  /* One look per command, and the mute's second one. */
  EXPECT_EQ(state->calls[FAKE_GET_DEFAULT], 5);
  plugin.exports.unload();
  EXPECT_EQ(state->liveReferences, 0);
}

/* ---- Each call failing in turn -------------------------------------- */

struct FaultRow {
  FakeCall call;
  HRESULT error;
  int32_t id; /* a command that makes that call */
};

const FaultRow FAULT_ROWS[] = {
    {FAKE_GET_CLASS_OBJECT, E_OUTOFMEMORY, 3050},
    {FAKE_CREATE_INSTANCE, E_FAIL, 1},
    {FAKE_GET_DEFAULT, HRESULT_FROM_WIN32(ERROR_NOT_FOUND), 1010},
    {FAKE_ACTIVATE, E_NOINTERFACE, 3050},
    {FAKE_GET_SCALAR, E_NOTIMPL, 2010},
    {FAKE_SET_SCALAR, E_NOTIMPL, 3050},
    {FAKE_SET_SCALAR, E_FAIL, 1010},
    {FAKE_GET_MUTE, E_NOTIMPL, 1},
    {FAKE_SET_MUTE, E_FAIL, 1},
};

class FakeEndpointFault : public FakeEndpointTest,
                          public testing::WithParamInterface<FaultRow> {};

TEST_P(FakeEndpointFault, FailsWithNothingChangedAndNoClock) {
  const FaultRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start());
  const int apartment = threadApartment();
  state->failures[row.call] = row.error;
  kitResetClockMessages();
  EXPECT_EQ(0, execute(row.id));
  EXPECT_GT(state->calls[row.call], 0) << "the failing call was made";
  EXPECT_FLOAT_EQ(state->devices[0].scalar, 0.5f);
  EXPECT_EQ(state->devices[0].muted, FALSE);
  EXPECT_EQ(kitClockMessages().refreshes, 0);
  EXPECT_EQ(state->liveReferences, 0);
  EXPECT_EQ(apartment, threadApartment()) << "COM left as it was found";

  state->failures[row.call] = S_OK;
  EXPECT_EQ(1, execute(row.id));
  EXPECT_EQ(kitClockMessages().refreshes, 1);
}

const char *const CALL_NAMES[FAKE_CALLS] = {
    "GetClassObject", "CreateInstance", "GetDefault", "Activate",
    "GetScalar",      "SetScalar",      "GetMute",    "SetMute"};

INSTANTIATE_TEST_SUITE_P(Calls, FakeEndpointFault,
                         testing::ValuesIn(FAULT_ROWS),
                         [](const testing::TestParamInfo<FaultRow> &info) {
                           return std::string(CALL_NAMES[info.param.call]) +
                                  "_" + std::to_string(info.param.id);
                         });

TEST_F(FakeEndpointTest, NoDefaultDeviceFails) {
  ASSERT_NO_FATAL_FAILURE(start());
  state->defaultDevice = FAKE_NO_DEFAULT;
  kitResetClockMessages();
  EXPECT_EQ(0, execute(3050));
  EXPECT_EQ(0, execute(1));
  for (int c = 0; c < FAKE_CALLS; c++)
    fprintf(stderr, "DEBUG call %d: %ld\n", c, (long)state->calls[c]);
  EXPECT_EQ(kitClockMessages().refreshes, 0);
  EXPECT_EQ(state->liveReferences, 0);
}

/* ---- The host's thread: no COM, a single- or a multithreaded apartment */

class FakeEndpointApartment : public FakeEndpointTest,
                              public testing::WithParamInterface<ApartmentRow> {
};

TEST_P(FakeEndpointApartment, CommandsWorkAndLeaveTheThreadAsItWas) {
  const ApartmentRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(false));
  ASSERT_EQ(-1, threadApartment());
  if (row.hostModel != NO_COM) {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, row.hostModel));
  }
  const int before = threadApartment();
  for (int32_t id : {3020, 1010, 1}) {
    EXPECT_EQ(1, execute(id)) << id;
    EXPECT_EQ(before, threadApartment()) << id;
  }
  /* The plug-in ran in the host's apartment, or in one of its own. */
  if (row.hostModel == COINIT_MULTITHREADED)
    EXPECT_EQ(state->apartmentSeen, APTTYPE_MTA);
  else
    EXPECT_TRUE(singleThreaded(state->apartmentSeen)) << state->apartmentSeen;
  plugin.exports.unload();
  /* One CoUninitialize of the host's own ends its apartment: the plug-in
   * left none of its entries behind, and took none of the host's. */
  if (row.hostModel != NO_COM) {
    EXPECT_EQ(before, threadApartment());
    CoUninitialize();
  }
  EXPECT_EQ(-1, threadApartment());
  EXPECT_FLOAT_EQ(state->devices[0].scalar, 0.3f);
  EXPECT_EQ(state->devices[0].muted, TRUE);
  EXPECT_EQ(state->liveReferences, 0);
}

INSTANTIATE_TEST_SUITE_P(Threads, FakeEndpointApartment,
                         testing::ValuesIn(APARTMENT_ROWS),
                         rowName<ApartmentRow>);

} // namespace

namespace {

/* The microphone through real COM: the capture flow for both roles, the
 * two devices told apart by their ids, each brought to one state, and
 * every interface released. The rules themselves are tested natively. */
TEST_F(FakeEndpointTest, MicrophoneCommandsReachBothRecordingDefaults) {
  ASSERT_NO_FATAL_FAILURE(start());
  state->recordingDefaults[eCommunications] = FAKE_FIRST_RECORDING + 1;
  ASSERT_EQ(1, execute(12));
  EXPECT_EQ(state->devices[FAKE_FIRST_RECORDING].muted, TRUE);
  EXPECT_EQ(state->devices[FAKE_FIRST_RECORDING + 1].muted, TRUE);
  EXPECT_EQ(state->devices[0].muted, FALSE) << "the speakers untouched";
  EXPECT_EQ(state->lookups[0], eCapture * 16 + eConsole);
  EXPECT_EQ(state->lookups[1], eCapture * 16 + eCommunications);
  EXPECT_GE(state->calls[FAKE_GET_ID], 2);
  EXPECT_EQ(state->liveReferences, 0);
  ASSERT_EQ(1, execute(11));
  EXPECT_EQ(state->devices[FAKE_FIRST_RECORDING].muted, FALSE);
  EXPECT_EQ(state->devices[FAKE_FIRST_RECORDING + 1].muted, FALSE);
  EXPECT_EQ(kitClockMessages().refreshes, 2);
}

/* A device that is not the default, by its name: the devices listed, its
 * name read through its property store, its own IAudioEndpointVolume
 * written through the method table; the default left alone. */
TEST_F(FakeEndpointTest, ANamedDeviceThatIsNotTheDefault) {
  ASSERT_NO_FATAL_FAILURE(
      start(true, "[Command]\r\nOutput4=usb headset\r\nOutputSet4=40\r\n"));
  ASSERT_EQ(1, execute(11204));
  EXPECT_FLOAT_EQ(state->devices[1].scalar, 0.4f);
  EXPECT_FLOAT_EQ(state->devices[0].scalar, 0.5f) << "the default untouched";
  EXPECT_EQ(state->calls[FAKE_ENUM_DEVICES], 1);
  EXPECT_EQ(state->calls[FAKE_ACTIVATE], 1);
  EXPECT_EQ(state->calls[FAKE_GET_DEFAULT], 0);
  EXPECT_EQ(kitClockMessages().refreshes, 1);
  EXPECT_EQ(state->liveReferences, 0);
}

} // namespace
