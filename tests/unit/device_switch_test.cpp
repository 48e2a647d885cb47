/*
 * Switching the default device: which device Next and a name choose,
 * which roles move, and that a switch that cannot be made changes
 * nothing.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

/* The machine of every case: playback 0 and recording 3 as at reset, and
 * the devices a row adds. */
struct Device {
  int index;
  AudioFlow flow;
  uint32_t state;
  const char *name; /* UTF-8 */
};

const AudioFlow OUT = AUDIO_RENDER, IN = AUDIO_CAPTURE;
const int SAME_AS_CONSOLE = -2, EVERY_CALL = -1;
const uint32_t ACTIVE = SIM_DEVICE_ACTIVE, UNPLUGGED = SIM_DEVICE_UNPLUGGED,
               DISABLED = SIM_DEVICE_DISABLED;

struct SwitchRow {
  const char *name;
  const char *settings; /* UTF-8, written as code page 932 */
  std::vector<Device> devices;
  int console, communications; /* playback defaults before */
  int32_t id;
  SimEndpointOp faultOp; /* SIM_COM_ENTER with no error: none */
  uint32_t faultError;
  int result;
  int consoleAfter, communicationsAfter; /* playback defaults after */
  unsigned writes;                       /* SetDefaultEndpoint calls */
  int multimedia = SAME_AS_CONSOLE;      /* playback multimedia before */
  int faultCall = EVERY_CALL; /* else only that call of faultOp fails */
};

const std::vector<Device> THREE = {
    {0, OUT, ACTIVE, "Speakers (Realtek)"},
    {4, OUT, ACTIVE, "2- ヘッドホン (USB Headset)"},
    {5, OUT, ACTIVE, "HDMI Display"}};
const std::vector<Device> UNPLUGGED_HEADPHONES = {
    {0, OUT, ACTIVE, "Speakers"},
    {4, OUT, UNPLUGGED, "Headphones"},
    {5, OUT, DISABLED, "HDMI"},
    {6, OUT, ACTIVE, "Monitor"}};

const char NEXT[] = "[Command]\nNextOutput=1\n";

/* Playback 0 and 4 to 19 active: more devices than a list of 16 holds. */
std::vector<Device> seventeenDevices(void) {
  std::vector<Device> devices;
  for (int i = 4; i < 20; i++)
    devices.push_back({i, OUT, ACTIVE, nullptr});
  return devices;
}

// clang-format off
const SwitchRow SWITCH_ROWS[] = {
    /* Next: the device after the console default, wrapping. */
    {"NextFromTheFirst", NEXT, THREE, 0, 0, 31, SIM_COM_ENTER, 0, 1, 4, 4, 3},
    {"NextWraps", NEXT, THREE, 5, 5, 31, SIM_COM_ENTER, 0, 1, 0, 0, 3},
    {"NextSkipsUnpluggedAndDisabled", NEXT, UNPLUGGED_HEADPHONES, 0, 0, 31,
     SIM_COM_ENTER, 0, 1, 6, 6, 3},
    {"DefaultNotListedGivesTheFirst", NEXT, UNPLUGGED_HEADPHONES, 4, 4, 31,
     SIM_COM_ENTER, 0, 1, 0, 0, 3},
    {"NoDefaultGivesTheFirst", NEXT, THREE, SIM_NO_DEFAULT, SIM_NO_DEFAULT, 31,
     SIM_COM_ENTER, 0, 1, 0, 0, 3},
    /* A user who split the communications default keeps the split... */
    {"SplitCommunicationsStays", NEXT, THREE, 0, 5, 31, SIM_COM_ENTER, 0, 1, 4,
     5, 2},
    /* ... unless SwitchCommunications=1 asks. */
    {"SwitchCommunicationsAlways",
     "[Command]\nNextOutput=1\n[Setting]\nSwitchCommunications=1\n", THREE, 0,
     5, 31, SIM_COM_ENTER, 0, 1, 4, 4, 3},
    /* NextNamedOnly: among the devices the Output keys name. */
    {"NamedOnly",
     "[Command]\nOutput0=HDMI\nOutput1=speakers\n[Setting]\nNextNamedOnly=1\n",
     THREE, 0, 0, 31, SIM_COM_ENTER, 0, 1, 5, 5, 3},
    /* Only 1 turns it on, though the names are read (for the display). */
    {"NamedOnlyForOneOnly",
     "[Command]\nOutput0=HDMI\n[Setting]\nNextNamedOnly=2\nOsd=1\n", THREE,
     0, 0, 31, SIM_COM_ENTER, 0, 1, 4, 4, 3},
    {"NamedOnlyNonePresent",
     "[Command]\nOutput0=Bluetooth\n[Setting]\nNextNamedOnly=1\n", THREE, 0, 0,
     31, SIM_COM_ENTER, 0, 1, 4, 4, 3},
    {"NextToTheSeventeenth", NEXT, seventeenDevices(), 18, 18, 31,
     SIM_COM_ENTER, 0, 1, 19, 19, 3},
    /* The console default's id is read first, then device 0's, 4's. */
    {"IdUnreadableLeftOut", NEXT, THREE, 0, 0, 31, SIM_ENDPOINT_ID, SIM_E_FAIL,
     1, 5, 5, 3, SAME_AS_CONSOLE, 2},
    {"OneDeviceIsAlreadyThere", NEXT, {{0, OUT, ACTIVE, "Speakers"}}, 0, 0, 31,
     SIM_COM_ENTER, 0, 1, 0, 0, 0},
    {"NoActiveDevice", NEXT, {{0, OUT, UNPLUGGED, "Speakers"}}, SIM_NO_DEFAULT,
     SIM_NO_DEFAULT, 31, SIM_COM_ENTER, 0, 0, SIM_NO_DEFAULT, SIM_NO_DEFAULT,
     0},
    /* By name: Shift_JIS text, Windows' "2- " prefix, any case. */
    {"ByJapaneseName", "[Command]\nOutput0=ヘッドホン\n", THREE, 0, 0, 7000,
     SIM_COM_ENTER, 0, 1, 4, 4, 3},
    {"ByNameInAnyCase", "[Command]\nOutput3=usb headset\n", THREE, 0, 0, 7003,
     SIM_COM_ENTER, 0, 1, 4, 4, 3},
    {"ByFullWidthName", "[Command]\nOutput1=ｈｄｍｉ ｚ\n",
     {{0, OUT, ACTIVE, "Speakers"}, {5, OUT, ACTIVE, "ＨＤＭＩ Ｚ"}}, 0, 0,
     7001, SIM_COM_ENTER, 0, 1, 5, 5, 3},
    {"TimesIsNoCaseOfDivide", "[Command]\nOutput0=÷\n",
     {{5, OUT, ACTIVE, "2×2"}}, 0, 0, 7000, SIM_COM_ENTER, 0, 0, 0, 0, 0},
    {"SeventeenthByName", "[Command]\nOutput0=speakers 19\n",
     seventeenDevices(), 0, 0, 7000, SIM_COM_ENTER, 0, 1, 19, 19, 3},
    {"NoMatch", "[Command]\nOutput0=Bluetooth\n", THREE, 0, 0, 7000,
     SIM_COM_ENTER, 0, 0, 0, 0, 0},
    {"EmptySlot", "[Command]\nOutput0=HDMI\n", THREE, 0, 0, 7001,
     SIM_COM_ENTER, 0, 0, 0, 0, 0},
    {"AlreadyTheDefault", "[Command]\nOutput0=HDMI\n", THREE, 5, 5, 7000,
     SIM_COM_ENTER, 0, 1, 5, 5, 0},
    {"AlreadyTheDefaultWithoutPolicyClass", "[Command]\nOutput0=HDMI\n", THREE,
     5, 5, 7000, SIM_POLICY_CREATE, SIM_REGDB_E_CLASSNOTREG, 1, 5, 5, 0},
    /* The multimedia default follows the console default it was apart from. */
    {"MultimediaJoinsTheConsoleDefault", "[Command]\nOutput0=HDMI\n", THREE,
     5, 5, 7000, SIM_COM_ENTER, 0, 1, 5, 5, 1, 0},
    /* Failures change nothing, or report what they did not finish. */
    {"NoPolicyClass", NEXT, THREE, 0, 0, 31, SIM_POLICY_CREATE,
     SIM_REGDB_E_CLASSNOTREG, 0, 0, 0, 0},
    {"NoCoreAudio", NEXT, THREE, 0, 0, 31, SIM_ENDPOINT_CREATE,
     SIM_REGDB_E_CLASSNOTREG, 0, 0, 0, 0},
    {"WriteRefused", NEXT, THREE, 0, 0, 31, SIM_POLICY_SET, SIM_E_FAIL, 0, 0,
     0, 1},
    {"NamesUnreadable", "[Command]\nOutput0=HDMI\n", THREE, 0, 0, 7000,
     SIM_ENDPOINT_NAME, SIM_E_FAIL, 0, 0, 0, 0},
    {"ListUnreadable", NEXT, THREE, 0, 0, 31, SIM_ENDPOINT_ENUMERATE,
     SIM_E_FAIL, 0, 0, 0, 0},
};
// clang-format on

class DeviceSwitch : public PluginTest,
                     public testing::WithParamInterface<SwitchRow> {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
  }
  void shape(const SwitchRow &row) {
    for (const Device &device : row.devices) {
      simEndpointSetState(device.index, device.flow, device.state);
      simEndpointSetName(device.index, device.name);
    }
    simEndpointSetDefaultFor(OUT, AUDIO_CONSOLE, row.console);
    simEndpointSetDefaultFor(
        OUT, AUDIO_MULTIMEDIA,
        row.multimedia == SAME_AS_CONSOLE ? row.console : row.multimedia);
    simEndpointSetDefaultFor(OUT, AUDIO_COMMUNICATIONS, row.communications);
  }
};

TEST_P(DeviceSwitch, MovesTheRolesItShould) {
  const SwitchRow &row = GetParam();
  writeSettings(cp932(row.settings));
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  shape(row);
  if (row.faultCall == EVERY_CALL)
    simEndpointFail(row.faultOp, row.faultError);
  else
    simEndpointFailOnce(row.faultOp, (unsigned)row.faultCall, row.faultError);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_CONSOLE), row.consoleAfter);
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_MULTIMEDIA), row.consoleAfter);
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_COMMUNICATIONS),
            row.communicationsAfter);
  EXPECT_EQ(simEndpointCalls(SIM_POLICY_SET), row.writes);
  EXPECT_EQ(simEndpointDefaultOf(IN, AUDIO_CONSOLE), SIM_RECORDING_ENDPOINT)
      << "playback only";
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  EXPECT_EQ(simEndpointLiveReferences(), 0);
  EXPECT_EQ(simEndpointMisuses(), 0u);
  EXPECT_EQ(simComEntered(), simComLeft());
}

INSTANTIATE_TEST_SUITE_P(Rows, DeviceSwitch, testing::ValuesIn(SWITCH_ROWS),
                         rowName<SwitchRow>);

/* A headset: both directions to the devices its text names, or neither. */
class Headset : public DeviceSwitch {};

TEST_F(Headset, SwitchesBothDirectionsOrNeither) {
  writeSettings("[Command]\nDevice0=headset\nDevice1=earbuds\n");
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointSetState(4, OUT, ACTIVE);
  simEndpointSetName(4, "Headset Earphone");
  simEndpointSetState(5, IN, ACTIVE);
  simEndpointSetName(5, "Headset Microphone");
  simEndpointSetState(6, OUT, ACTIVE);
  simEndpointSetName(6, "Earbuds"); /* no microphone of that name */
  EXPECT_EQ(KSTEvent_Execute(7201, 0), 0);
  EXPECT_EQ(simEndpointCalls(SIM_POLICY_SET), 0u);
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_CONSOLE), 0);
  EXPECT_EQ(KSTEvent_Execute(7200, 0), 1);
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_CONSOLE), 4);
  EXPECT_EQ(simEndpointDefaultOf(IN, AUDIO_CONSOLE), 5);
  EXPECT_EQ(simEndpointDefaultOf(IN, AUDIO_COMMUNICATIONS), 5);
  EXPECT_EQ(simEndpointLiveReferences(), 0);
}

/* From a thread in any COM state, with nothing of it left changed. */
class SwitchApartment : public DeviceSwitch {};

TEST_F(SwitchApartment, WorksInEveryApartment) {
  writeSettings(NEXT);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointSetState(4, OUT, ACTIVE);
  for (SimApartment apartment :
       {SIM_APARTMENT_NONE, SIM_APARTMENT_STA, SIM_APARTMENT_MTA}) {
    simComSetApartment(apartment);
    int before = simEndpointDefaultOf(OUT, AUDIO_CONSOLE);
    EXPECT_EQ(KSTEvent_Execute(31, 0), 1) << apartment;
    EXPECT_NE(simEndpointDefaultOf(OUT, AUDIO_CONSOLE), before) << apartment;
    EXPECT_EQ(simComApartment(), apartment);
    EXPECT_EQ(simEndpointLiveReferences(), 0);
  }
}

/* The display names the device switched to, cut to the 39 units it
 * shows, never inside a surrogate pair; a headset by its playback
 * device. */
struct ShownRow {
  const char *name;
  const char *settings; /* UTF-8, written as code page 932 */
  int32_t id;
  const char *playback, *recording; /* device 4's and 5's names */
  std::u16string shown;
};

const ShownRow SHOWN_ROWS[] = {
    {"JapaneseName", "[Command]\nOutput0=ヘッドホン\n", 7000,
     "2- ヘッドホン (USB)", "Mic", u"出力: 2- ヘッドホン (USB)"},
    {"LongNameCut", "[Command]\nOutput0=USB\n", 7000,
     "USB Audio Device with a long name (Speakers)", "Mic",
     u"出力: USB Audio Device with a long name (Spea"},
    {"CutBeforeASurrogatePair", "[Command]\nOutput0=USB\n", 7000,
     "USB Audio Device with a long name (HD)\U0001F3A7", "Mic",
     u"出力: USB Audio Device with a long name (HD)"},
    {"NextToo", "[Command]\nNextOutput=1\n", 31, "USB Headphones", "Mic",
     u"出力: USB Headphones"},
    {"HeadsetByItsPlayback", "[Command]\nDevice0=USB\n", 7200, "USB Headphones",
     "USB Microphone", u"出力と入力: USB Headphones"},
};

class SwitchShown : public PluginTest,
                    public testing::WithParamInterface<ShownRow> {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
  }
};

TEST_P(SwitchShown, TheDisplayNamesTheDevice) {
  const ShownRow &row = GetParam();
  simDisplayReset();
  writeSettings(cp932(std::string(row.settings) + "[Setting]\nOsd=1\n"));
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointSetState(4, OUT, ACTIVE);
  simEndpointSetName(4, row.playback);
  simEndpointSetState(5, IN, ACTIVE);
  simEndpointSetName(5, row.recording);
  ASSERT_EQ(KSTEvent_Execute(row.id, 0), 1);
  ASSERT_EQ(simDisplayFrames(), 1u);
  std::u16string shown;
  for (const uint16_t *unit = simDisplayLastFrame()->text; *unit; unit++)
    shown += (char16_t)*unit;
  EXPECT_EQ(shown, row.shown);
  KSTEvent_Unload();
}

INSTANTIATE_TEST_SUITE_P(Rows, SwitchShown, testing::ValuesIn(SHOWN_ROWS),
                         rowName<ShownRow>);

} // namespace
