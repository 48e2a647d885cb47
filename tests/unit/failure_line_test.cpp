/*
 * The line a failed command says on the debugger's channel, for one
 * failure of each family, and the silence of a command that took.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

struct FailureRow {
  const char *name;
  const char *settings;
  void (*shape)(void); /* makes the command fail, or not */
  int32_t id;
  const char *line; /* null: the command takes and says nothing */
};

void nothing(void) {}
void noMixer(void) { simMixerSetPresent(0); }
void noDefaultPlayback(void) { simEndpointSetDefault(SIM_NO_DEFAULT); }
void endpointRefuses(void) {
  simEndpointFail(SIM_ENDPOINT_SET_SCALAR, SIM_E_INVALIDARG);
}
void microphoneRefuses(void) {
  simEndpointFail(SIM_ENDPOINT_SET_MUTE, SIM_E_FAIL);
}
void noCoreAudio(void) { simEndpointSetPresent(0); }
void noPolicyConfig(void) {
  simEndpointSetKind(1, AUDIO_RENDER, 1);
  simPolicySetPresent(0);
}
void microphoneLevelRefused(void) {
  simEndpointFail(SIM_ENDPOINT_SET_SCALAR, SIM_E_FAIL);
}
void secondSpeakers(void) { simEndpointSetKind(1, AUDIO_RENDER, 1); }
void defaultNeverShows(void) {
  secondSpeakers();
  simPolicySetShowAfter(1000);
}
void foregroundWithoutSession(void) {
  simProcessAdd(40, "C:\\Games\\quiet.exe");
  simSetForegroundWindow(simAppWindowAdd(0, "QuietWindow", 40));
}

const FailureRow FAILURE_ROWS[] = {
    {"UnknownIdentifier", "", nothing, 5,
     "volume: 5: no command has this identifier\n"},
    {"MixerAbsent", "", noMixer, 3050,
     "volume: Set(50): mixer device 0 cannot be opened (error 2)\n"},
    {"MixerTakes", "", nothing, 1, nullptr},
    {"NoDefaultPlayback", "[Setting]\nVolEndpoint=1\n", noDefaultPlayback, 2005,
     "volume: VolumeDown(5): there is no default playback device\n"},
    {"EndpointRefuses", "[Setting]\nVolEndpoint=1\n", endpointRefuses, 3100,
     "volume: Set(100): the device refused (0x80070057)\n"},
    {"MicrophoneRefuses", "", microphoneRefuses, 12,
     "volume: MicMuteOn: the device refused (0x80004005)\n"},
    {"MicrophoneWithoutCoreAudio", "", noCoreAudio, 11,
     "volume: MicMute: this Windows has no Core Audio (Windows XP)\n"},
    {"NoForegroundWindow", "", nothing, 21,
     "volume: AppMute: no window is in the foreground\n"},
    {"ForegroundWithoutSession", "", foregroundWithoutSession, 4010,
     "volume: AppVolumeUp(10): the foreground program (process 40) has no "
     "audio session\n"},
    {"NoDeviceNamed", "[Command]\nOutput3=Null\n", nothing, 7003,
     "volume: OutputDevice(3): no active playback device's name holds "
     "\"Null\"\n"},
    {"EmptySlot", "", nothing, 7104,
     "volume: InputDevice(4): its slot in the settings file holds nothing\n"},
    {"NoPolicyConfig", "", noPolicyConfig, 31,
     "volume: NextOutput: the policy-config class is not registered\n"},
    {"NoNamedRecordingDevice", "[Command]\nInput2=Desk\nInputSet2=50\n",
     nothing, 11602,
     "volume: InputSet(2): no active recording device's name holds "
     "\"Desk\"\n"},
    {"NamedDeviceWithoutItsNumber", "[Command]\nOutput2=Speakers\n", nothing,
     11102,
     "volume: OutputVolumeDown(2): the settings file's OutputUpDown2 "
     "holds no number 0 to 100\n"},
    {"MicrophoneLevelRefused", "", microphoneLevelRefused, 10050,
     "volume: MicSet(50): the device refused (0x80004005)\n"},
    {"PairWithoutItsRecordingDevice",
     "[Command]\nDevice1=Simulated speakers|Webcam\n", secondSpeakers, 7201,
     "volume: Device(1): no active recording device's name holds "
     "\"Webcam\"\n"},
    {"NewDefaultNeverShows", "", defaultNeverShows, 31,
     "volume: NextOutput: the new default did not show\n"},
    {"SwitchTakes", "", secondSpeakers, 31, nullptr},
    {"ProgramWithoutSession", "[Command]\nProgram0=music.exe\nProgramMute0=1\n",
     nothing, 12300, "volume: ProgramMute(0): no audio session of music.exe\n"},
    {"ProgramsUnlisted", "[Command]\nProgram4=music|chat\nProgramSet4=20\n",
     [] {
       simSessionAdd(0, 40);
       simFocusFail(SIM_PROCESS_SNAPSHOT, 1);
     },
     12204, "volume: ProgramSet(4): the running programs cannot be listed\n"},
};

class FailureLine : public PluginTest,
                    public testing::WithParamInterface<FailureRow> {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
    simFocusReset();
    simDebugReset();
  }
};

TEST_P(FailureLine, SaysWhyOnceOrNothing) {
  const FailureRow &row = GetParam();
  writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  row.shape();
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.line ? 0 : 1);
  if (!row.line) {
    EXPECT_EQ(simDebugLineCount(), 0u) << simDebugLine(0);
    return;
  }
  ASSERT_EQ(simDebugLineCount(), 1u);
  EXPECT_STREQ(simDebugLine(0), row.line);
}

INSTANTIATE_TEST_SUITE_P(Families, FailureLine, testing::ValuesIn(FAILURE_ROWS),
                         rowName<FailureRow>);

} // namespace
