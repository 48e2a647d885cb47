/*
 * Switching the default device with the real DLL, in the Wine prefix where
 * the fake Core Audio server is registered for the enumerator and for
 * both policy-config classes: the undocumented class reached through
 * Wine's COM from the registry, the method called in its slot of each
 * method table, the interface ids asked for in turn, the device states
 * and names crossing the real interfaces, every apartment of the calling
 * thread, and every reference given back. Which device a command chooses
 * is tested natively.
 */
#include <objbase.h>

#include <mmdeviceapi.h>

#include <string>

#include "apartment_rows.h"
#include "fake_core_audio/fake_core_audio.h"
#include "plugin_host.h"
#include "row_name.h"

namespace {

enum : int32_t {
  NEXT_OUTPUT = 31,
  NEXT_INPUT = 32,
  OUTPUT_DEVICE_0 = 7000,
  DEVICE_0 = 7200
};

const char SWITCH_SETTINGS[] = "[Command]\r\nNextOutput=1\r\nNextInput=1\r\n";

class DeviceSwitchFakeTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(openFakeAudio(&fake, &state, nullptr)); }

  void TearDown() override {
    removePlugin(&plugin);
    kitDestroyTaskbar(&taskbar);
    if (state) {
      EXPECT_EQ(state->liveReferences, 0) << "every reference given back";
      EXPECT_EQ(state->wrongSlotCalls, 0) << "no other method called";
    }
    if (fake)
      FreeLibrary(fake);
  }

  void start(const std::string &settings, bool withTaskbar = true) {
    char reason[256] = "";
    if (withTaskbar) {
      ASSERT_TRUE(kitCreateTaskbar(&taskbar, reason, sizeof reason)) << reason;
    }
    ASSERT_TRUE(installPlugin(&plugin, settings.c_str()));
    ASSERT_TRUE(loadPlugin(&plugin));
    ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
    kitResetClockMessages();
  }

  int32_t execute(int32_t id) { return plugin.exports.execute(id, 0); }

  /* The playback default of each role, as the enumerator now answers. */
  std::string playbackDefaults(void) {
    std::string text;
    for (int role = 0; role < FAKE_ROLES; role++) {
      int device = state->playbackDefaults[role];
      if (device == FAKE_AS_DEFAULT_DEVICE)
        device = state->defaultDevice;
      text += std::to_string(device);
    }
    return text;
  }

  std::string recordingDefaults(void) {
    std::string text;
    for (int role = 0; role < FAKE_ROLES; role++)
      text += std::to_string(state->recordingDefaults[role]);
    return text;
  }

  HMODULE fake = nullptr;
  FakeAudioState *state = nullptr;
  InstalledPlugin plugin = {};
  StandInTaskbar taskbar = {};
};

/* ---- Next, through the state mask and the policy config's slot 13 -------- */

TEST_F(DeviceSwitchFakeTest, NextOutputGoesRoundTheActiveDevicesAndWraps) {
  ASSERT_NO_FATAL_FAILURE(start(SWITCH_SETTINGS));
  /* Devices 4 (disabled) and 5 (unplugged) play too but never count. */
  ASSERT_EQ(1, execute(NEXT_OUTPUT));
  EXPECT_EQ(playbackDefaults(), "111");
  ASSERT_EQ(1, execute(NEXT_OUTPUT));
  EXPECT_EQ(playbackDefaults(), "000");
  EXPECT_EQ(recordingDefaults(), "222") << "recording untouched";
  EXPECT_EQ(kitClockMessages().refreshes, 2);
}

TEST_F(DeviceSwitchFakeTest, NextInputKeepsACommunicationsDeviceOfItsOwn) {
  ASSERT_NO_FATAL_FAILURE(start(SWITCH_SETTINGS));
  state->shapes[7].state = DEVICE_STATE_ACTIVE;
  state->recordingDefaults[eCommunications] = 7;
  ASSERT_EQ(1, execute(NEXT_INPUT));
  EXPECT_EQ(recordingDefaults(), "337");
  for (int k = 0; k < state->calls[FAKE_SET_DEFAULT]; k++)
    EXPECT_NE(state->writes[k] % 16, eCommunications) << k;
}

/* ---- By name: the friendly name read through the property store ------- */

struct NameRow {
  const char *name;
  const char *settings;
  int32_t id;
  int32_t result;
  const char *playback; /* defaults by role afterwards */
  const char *recording;
  void (*reshape)(FakeAudioState *) = nullptr;
};

/* The headphones' name of 127 characters, the most a name has: "...-Z". */
void nameOf127(FakeAudioState *state) {
  WCHAR *name = state->shapes[1].name;
  for (int i = lstrlenW(name); i < 126; i++)
    name[i] = L'-';
  lstrcpyW(name + 126, L"Z");
}

void namesAsBstr(FakeAudioState *state) { state->nameType = VT_BSTR; }

const NameRow NAME_ROWS[] = {
    {"OutputWithoutRegardToCase", "[Command]\r\nOutput0=usb HEADSET\r\n",
     OUTPUT_DEVICE_0, 1, "111", "222"},
    {"HeadsetBothDirections", "[Command]\r\nDevice0=(USB Headset)\r\n",
     DEVICE_0, 1, "111", "333"},
    {"NoMatchChangesNothing", "[Command]\r\nOutput0=Bluetooth\r\n",
     OUTPUT_DEVICE_0, 0, "000", "222"},
    {"NameOf127CharactersWhole", "[Command]\r\nOutput0=-Z\r\n", OUTPUT_DEVICE_0,
     1, "111", "222", nameOf127},
    /* The friendly name is a VT_LPWSTR; another type is no name. */
    {"NameOfAnotherTypeIsNone", "[Command]\r\nOutput0=usb HEADSET\r\n",
     OUTPUT_DEVICE_0, 0, "000", "222", namesAsBstr},
};

class DeviceSwitchByName : public DeviceSwitchFakeTest,
                           public testing::WithParamInterface<NameRow> {};

TEST_P(DeviceSwitchByName, FindsTheDeviceByItsFriendlyName) {
  const NameRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(row.settings));
  if (row.reshape)
    row.reshape(state);
  EXPECT_EQ(row.result, execute(row.id));
  EXPECT_EQ(playbackDefaults(), row.playback);
  EXPECT_EQ(recordingDefaults(), row.recording);
  EXPECT_GT(state->calls[FAKE_GET_VALUE], 0) << "the names were read";
  EXPECT_EQ(kitClockMessages().refreshes, row.result);
  if (!row.result) {
    EXPECT_EQ(state->calls[FAKE_SET_DEFAULT], 0) << "nothing written";
  }
}

INSTANTIATE_TEST_SUITE_P(Names, DeviceSwitchByName,
                         testing::ValuesIn(NAME_ROWS), rowName<NameRow>);

/* The text decoded from the ANSI code page: Shift_JIS "ヘッドホン" as
 * Notepad saves it on a Japanese Windows. Run under a Japanese locale
 * (code page 932) by a test of its own. */
TEST_F(DeviceSwitchFakeTest, ShiftJisNameUnderCodePage932) {
  ASSERT_EQ(932u, GetACP()) << "run under LC_ALL=ja_JP.UTF-8";
  ASSERT_NO_FATAL_FAILURE(start("[Command]\r\nOutput0=\x83w\x83"
                                "b\x83h\x83z\x83\x93\r\n"));
  ASSERT_EQ(1, execute(OUTPUT_DEVICE_0));
  EXPECT_EQ(playbackDefaults(), "111");
}

/* ---- Which policy-config class and interface answered ------------------- */

struct PolicyRow {
  const char *name;
  unsigned answers; /* FakePolicyAnswer bits */
  int32_t result;
  LONG creations; /* CreateInstance calls of a policy-config class */
};

const PolicyRow POLICY_ROWS[] = {
    {"Windows7To11", FAKE_POLICY_ALL, 1, 1},
    {"Windows10FirstOtherId",
     FAKE_POLICY_CLASS | FAKE_POLICY_INTERFACE_10A | FAKE_POLICY_VISTA, 1, 2},
    {"Windows10SecondOtherId", FAKE_POLICY_CLASS | FAKE_POLICY_INTERFACE_10B, 1,
     3},
    /* Slot 12 of the Vista table. */
    {"VistaClassOnly", FAKE_POLICY_VISTA, 1, 1},
    {"NewClassWithoutKnownIdThenVista", FAKE_POLICY_CLASS | FAKE_POLICY_VISTA,
     1, 4},
    {"NoClass", 0, 0, 0},
    {"NewClassWithoutKnownId", FAKE_POLICY_CLASS, 0, 3},
    {"NewClassAnswersWithoutAnObjectThenVista",
     FAKE_POLICY_ALL | FAKE_POLICY_NO_OBJECT, 1, 2},
};

class DeviceSwitchPolicy : public DeviceSwitchFakeTest,
                           public testing::WithParamInterface<PolicyRow> {};

TEST_P(DeviceSwitchPolicy, AsksForEachIdInTurnAndCallsItsSlot) {
  const PolicyRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(SWITCH_SETTINGS));
  state->policyAnswers = row.answers;
  EXPECT_EQ(row.result, execute(NEXT_OUTPUT));
  EXPECT_EQ(playbackDefaults(), row.result ? "111" : "000");
  EXPECT_EQ(state->calls[FAKE_CREATE_POLICY], row.creations);
  EXPECT_EQ(kitClockMessages().refreshes, row.result);
}

INSTANTIATE_TEST_SUITE_P(Builds, DeviceSwitchPolicy,
                         testing::ValuesIn(POLICY_ROWS), rowName<PolicyRow>);

TEST_F(DeviceSwitchFakeTest, AWriteThatFailsChangesNothingAndIsAFailure) {
  ASSERT_NO_FATAL_FAILURE(start(SWITCH_SETTINGS));
  state->failures[FAKE_SET_DEFAULT] = E_ACCESSDENIED;
  EXPECT_EQ(0, execute(NEXT_OUTPUT));
  EXPECT_EQ(playbackDefaults(), "000");
  EXPECT_EQ(kitClockMessages().refreshes, 0);
  state->failures[FAKE_SET_DEFAULT] = S_OK;
  EXPECT_EQ(1, execute(NEXT_OUTPUT));
  EXPECT_EQ(playbackDefaults(), "111");
}

/* ---- The host's thread: no COM, a single- or a multithreaded apartment */

class DeviceSwitchApartment : public DeviceSwitchFakeTest,
                              public testing::WithParamInterface<ApartmentRow> {
};

TEST_P(DeviceSwitchApartment, SwitchesAndLeavesTheThreadAsItWas) {
  const ApartmentRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(SWITCH_SETTINGS, false));
  ASSERT_EQ(-1, threadApartment());
  if (row.hostModel != NO_COM) {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, row.hostModel));
  }
  const int before = threadApartment();
  EXPECT_EQ(1, execute(NEXT_OUTPUT));
  EXPECT_EQ(1, execute(NEXT_INPUT));
  EXPECT_EQ(before, threadApartment());
  EXPECT_EQ(playbackDefaults(), "111");
  EXPECT_EQ(recordingDefaults(), "333");
  if (row.hostModel == COINIT_MULTITHREADED)
    EXPECT_EQ(state->writeApartment, APTTYPE_MTA);
  else
    EXPECT_TRUE(state->writeApartment == APTTYPE_STA ||
                state->writeApartment == APTTYPE_MAINSTA)
        << state->writeApartment;
  plugin.exports.unload();
  if (row.hostModel != NO_COM) {
    EXPECT_EQ(before, threadApartment());
    CoUninitialize();
  }
  EXPECT_EQ(-1, threadApartment()) << "no apartment of the plug-in's left";
}

INSTANTIATE_TEST_SUITE_P(Threads, DeviceSwitchApartment,
                         testing::ValuesIn(APARTMENT_ROWS),
                         rowName<ApartmentRow>);

} // namespace
