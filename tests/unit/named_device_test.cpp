/*
 * A device named by the settings file: its own level and mute, default or
 * not, found as a device switch finds it; nothing else changes.
 */
#include <cmath>

#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

struct NamedDevice {
  int index;
  AudioFlow flow;
  uint32_t state;
  const char *name; /* UTF-8 */
  float scalar;
  int32_t muted;
};

struct NamedRow {
  const char *name;
  const char *settings; /* UTF-8, written as code page 932 */
  std::vector<NamedDevice> devices;
  int32_t id;
  int result;
  int changed;       /* the device whose level or mute a row expects */
  float scalarAfter; /* of that device */
  int32_t mutedAfter;
};

const AudioFlow OUT = AUDIO_RENDER, IN = AUDIO_CAPTURE;
const uint32_t ACTIVE = SIM_DEVICE_ACTIVE, UNPLUGGED = SIM_DEVICE_UNPLUGGED;

/* Playback 0 stays the default throughout; 4 and 5 are not defaults. */
const std::vector<NamedDevice> MACHINE = {
    {0, OUT, ACTIVE, "Virtual Cable", 0.8f, 0},
    {4, OUT, ACTIVE, "2- ヘッドホン (USB Headset)", 0.3f, 1},
    {5, IN, ACTIVE, "Desk Microphone", 0.5f, 1},
    {6, OUT, UNPLUGGED, "HDMI Display", 0.6f, 0}};

const char SETTINGS[] = "[Command]\nOutput0=ヘッドホン\nOutputUpDown0=5\n"
                        "OutputSet0=40\nOutputMute0=1\nInput3=desk\n"
                        "InputUpDown3=10\nInputSet3=100\nOutput1=hdmi\n"
                        "OutputSet1=10\nOutput2=usb headset\nOutputSet2=70\n";
const char UNMUTING[] = "[Command]\nOutput0=ヘッドホン\nOutputSet0=40\n"
                        "Input3=desk\nInputSet3=100\n"
                        "[Setting]\nUnmuteOnChange=1\n";

// clang-format off
const NamedRow NAMED_ROWS[] = {
    {"StepsTheNamedDevice", SETTINGS, MACHINE, 11000, 1, 4, 0.35f, 1},
    {"StepsDown", SETTINGS, MACHINE, 11100, 1, 4, 0.25f, 1},
    {"SetsIt", SETTINGS, MACHINE, 11200, 1, 4, 0.4f, 1},
    {"TogglesItsMute", SETTINGS, MACHINE, 11300, 1, 4, 0.3f, 0},
    {"InAnyCase", SETTINGS, MACHINE, 11202, 1, 4, 0.7f, 1},
    {"ARecordingDevice", SETTINGS, MACHINE, 11403, 1, 5, 0.6f, 1},
    {"RecordingSet", SETTINGS, MACHINE, 11603, 1, 5, 1.0f, 1},
    {"UnmutesPlayback", UNMUTING, MACHINE, 11200, 1, 4, 0.4f, 0},
    {"NeverUnmutesRecording", UNMUTING, MACHINE, 11603, 1, 5, 1.0f, 1},
    /* Nothing changes where nothing is named, or only an unplugged one. */
    {"OnlyUnplugged", SETTINGS, MACHINE, 11201, 0, 6, 0.6f, 0},
    {"NoNumberInItsSlot", SETTINGS, MACHINE, 11001, 0, 6, 0.6f, 0},
    {"EmptySlot", SETTINGS, MACHINE, 11209, 0, 4, 0.3f, 1},
    {"WrongDirection", "[Command]\nInput0=ヘッドホン\nInputSet0=9\n", MACHINE,
     11600, 0, 4, 0.3f, 1},
};
// clang-format on

class NamedDeviceVolume : public PluginTest,
                          public testing::WithParamInterface<NamedRow> {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
  }
};

TEST_P(NamedDeviceVolume, ChangesThatDeviceAlone) {
  const NamedRow &row = GetParam();
  writeSettings(cp932(row.settings));
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  for (const NamedDevice &device : row.devices) {
    simEndpointSetState(device.index, device.flow, device.state);
    simEndpointSetName(device.index, device.name);
    *simEndpoint(device.index) = {device.scalar, device.muted};
  }
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  for (const NamedDevice &device : row.devices) {
    bool changed = device.index == row.changed;
    EXPECT_NEAR(simEndpoint(device.index)->scalar,
                changed ? row.scalarAfter : device.scalar, 1e-6)
        << device.name;
    EXPECT_EQ(simEndpoint(device.index)->muted,
              changed ? row.mutedAfter : device.muted)
        << device.name;
  }
  EXPECT_EQ(simEndpointDefaultOf(OUT, AUDIO_CONSOLE), 0);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  EXPECT_EQ(simEndpointLiveReferences(), 0);
  EXPECT_EQ(simComEntered(), simComLeft());
}

INSTANTIATE_TEST_SUITE_P(Rows, NamedDeviceVolume, testing::ValuesIn(NAMED_ROWS),
                         rowName<NamedRow>);

} // namespace
