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

class SwitchMachine : public PluginTest {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
  }
  void place(const std::vector<Device> &devices) {
    for (const Device &device : devices) {
      simEndpointSetState(device.index, device.flow, device.state);
      simEndpointSetName(device.index, device.name);
    }
  }
};

class DeviceSwitch : public SwitchMachine,
                     public testing::WithParamInterface<SwitchRow> {
protected:
  void shape(const SwitchRow &row) {
    place(row.devices);
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

/* ---- A headset pair: "<playback>|<recording>" ------------------------ */

const std::vector<Device> DESK = {{4, OUT, ACTIVE, "Speakers (USB Audio)"},
                                  {5, IN, ACTIVE, "Desk Microphone"},
                                  {6, OUT, ACTIVE, "ポータブル Headset"},
                                  {7, IN, ACTIVE, "ポータブル Headset Mic"}};

struct PairRow {
  const char *name;
  const char *text; /* Device0's, UTF-8 */
  int result;
  int outputAfter, inputAfter; /* console defaults */
  unsigned writes;
};

// clang-format off
const PairRow PAIR_ROWS[] = {
    {"NamesTwoDevicesApart", "usb audio|desk", 1, 4, 5, 6},
    {"WithoutABarNamesBoth", "ポータブル", 1, 6, 7, 6},
    /* 0x7C, "|", is the second byte of "ポ": no split there. */
    {"ABarInsideALetterIsNone", "ポータブル Headset", 1, 6, 7, 6},
    {"JapaneseOnBothSides", "ポータブル|ポータブル Headset Mic", 1, 6, 7, 6},
    {"TheFirstBarSplits", "Speakers|Desk|Mic", 0, 0, SIM_RECORDING_ENDPOINT, 0},
    /* Both are chosen before anything is written. */
    {"RecordingDeviceMissing", "Speakers|Webcam", 0, 0, SIM_RECORDING_ENDPOINT, 0},
    {"PlaybackDeviceMissing", "Monitor|Desk", 0, 0, SIM_RECORDING_ENDPOINT, 0},
    {"EmptyRecordingSide", "Speakers|", 0, 0, SIM_RECORDING_ENDPOINT, 0},
    {"EmptyPlaybackSide", "|Desk", 0, 0, SIM_RECORDING_ENDPOINT, 0},
};
// clang-format on

class HeadsetPair : public SwitchMachine,
                    public testing::WithParamInterface<PairRow> {};

TEST_P(HeadsetPair, SwitchesEachDirectionToItsDeviceOrNeither) {
  const PairRow &row = GetParam();
  writeSettings(cp932(std::string("[Command]\nDevice0=") + row.text + "\n"));
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  place(DESK);
  EXPECT_EQ(KSTEvent_Execute(7200, 0), row.result);
  for (AudioRole role :
       {AUDIO_CONSOLE, AUDIO_MULTIMEDIA, AUDIO_COMMUNICATIONS}) {
    EXPECT_EQ(simEndpointDefaultOf(OUT, role), row.outputAfter) << role;
    EXPECT_EQ(simEndpointDefaultOf(IN, role), row.inputAfter) << role;
  }
  EXPECT_EQ(simEndpointCalls(SIM_POLICY_SET), row.writes);
  EXPECT_EQ(simEndpointLiveReferences(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, HeadsetPair, testing::ValuesIn(PAIR_ROWS),
                         rowName<PairRow>);

/* ---- A new default that shows late -------------------------------------- */

struct LateRow {
  const char *name;
  int32_t id;           /* 31 NextOutput, 7200 the pair below */
  unsigned showAfter;   /* looks a written default hides for */
  uint32_t startTicks;  /* the clock at the command */
  unsigned createFault; /* enumerator creations that succeed before one
                           fails; 0: none fails */
  int result;
  unsigned looks; /* enumerators made after the writes */
  uint64_t slept; /* milliseconds the host was held */
};

const char LATE_SETTINGS[] =
    "[Command]\nNextOutput=1\nDevice0=USB Audio|Desk\n";

// clang-format off
const LateRow LATE_ROWS[] = {
    {"ShowsAtOnce", 31, 0, 1000, 0, 1, 1, 0},
    {"ShowsAtTheThirdLookAfter", 31, 3, 1000, 0, 1, 4, 150},
    /* Every 50 ms until 500 ms after the writes, and once more then. */
    {"ShowsAtTheLastLook", 31, 10, 1000, 0, 1, 11, 500},
    {"NeverShows", 31, 11, 1000, 0, 0, 11, 500},
    {"AcrossTheClocksWrap", 31, 11, 0xFFFFFF00u, 0, 0, 11, 500},
    /* Both directions of a pair share the one wait. */
    {"APairShowingLate", 7200, 4, 1000, 0, 1, 10, 400},
    {"APairShowingTooLate", 7200, 8, 1000, 0, 0, 12, 500},
    /* A look that cannot be made ends the wait. */
    {"ALookRefused", 31, 3, 1000, 2, 0, 2, 50},
};
// clang-format on

class LateDefault : public SwitchMachine,
                    public testing::WithParamInterface<LateRow> {};

TEST_P(LateDefault, IsWaitedForAboutHalfASecond) {
  const LateRow &row = GetParam();
  writeSettings(LATE_SETTINGS);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  place(DESK);
  simPolicySetShowAfter(row.showAfter);
  simClockSet(row.startTicks);
  if (row.createFault)
    simEndpointFailAfter(SIM_ENDPOINT_CREATE, row.createFault, SIM_E_FAIL);
  uint64_t slept = simClockSlept();
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  EXPECT_EQ(simClockSlept() - slept, row.slept);
  /* The command's own enumerator, then one per look. */
  EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_CREATE), 1 + row.looks);
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_CONSOLE), 4) << "written";
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  EXPECT_EQ(simEndpointLiveReferences(), 0);
  EXPECT_EQ(simComEntered(), simComLeft());
}

INSTANTIATE_TEST_SUITE_P(Rows, LateDefault, testing::ValuesIn(LATE_ROWS),
                         rowName<LateRow>);

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
