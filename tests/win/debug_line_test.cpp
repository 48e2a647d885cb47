/*
 * What the real DLL says on the debugger's channel under Wine's own
 * audio, heard by a listener as debug-output viewers hear it: one line
 * for a command that fails, naming it and why, none for one that takes.
 */
#include <regex>

#include "plugin_test.h"

namespace {

struct LineRow {
  const char *name;
  const char *settings;
  int32_t id;
  const char *line; /* a regular expression; null: none is said */
};

const LineRow LINE_ROWS[] = {
    {"MixerTakes", "", 3050, nullptr},
    {"UnknownIdentifier", "", 5, "volume: 5: no command has this identifier\n"},
    {"NoMicrophoneLine", "[Setting]\nVolComponentType=12\n", 3050,
     "volume: Set\\(50\\): mixer device 0 has no line of the component type "
     "VolComponentType chooses \\(0x00001003\\)\n"},
    /* Wine's endpoint volume is a stub: a mute is remembered only by the
     * interface it was made on. */
    {"EndpointStub", "[Setting]\nVolEndpoint=1\n", 1,
     "volume: Mute: the mute did not change when looked at again\n"},
    {"Microphone", "[Command]\nMicMute=1\n", 11,
     "volume: MicMute: the mute did not change when looked at again\n"},
    /* Whatever window another test program has up. */
    {"FocusedApp", "", 21,
     "volume: AppMute: (no window is in the foreground|the foreground "
     "program \\(process [0-9]+\\) has no audio session)\n"},
    {"NoPolicyConfig", "[Command]\nNextOutput=1\n", 31,
     "volume: NextOutput: the policy-config class is not registered\n"},
    {"NamedDevice", "[Command]\nOutput0=Nothing\nOutputSet0=5\n", 11200,
     "volume: OutputSet\\(0\\): no active playback device's name holds "
     "\"Nothing\"\n"},
};

class DebugLine : public PluginTest,
                  public testing::WithParamInterface<LineRow> {
protected:
  void TearDown() override {
    kitStopDebugOutput();
    PluginTest::TearDown();
  }
};

TEST_P(DebugLine, OneLineForAFailureNoneForASuccess) {
  const LineRow &row = GetParam();
  ASSERT_NO_FATAL_FAILURE(startWithSettings(row.settings));
  ASSERT_TRUE(kitListenDebugOutput()) << "another listener holds the channel";
  int32_t result = execute(row.id);
  char said[KIT_DEBUG_TEXT_SIZE];
  kitTakeDebugOutput(said, sizeof said);
  EXPECT_EQ(result, row.line ? 0 : 1);
  if (row.line)
    EXPECT_TRUE(std::regex_match(said, std::regex(row.line))) << said;
  else
    EXPECT_STREQ(said, "");
}

INSTANTIATE_TEST_SUITE_P(UnderWine, DebugLine, testing::ValuesIn(LINE_ROWS),
                         [](const testing::TestParamInfo<LineRow> &info) {
                           return std::string(info.param.name);
                         });

} // namespace
