/*
 * Every mixer operation failing under every kind of command: the command
 * fails, nothing changes, the clock is not told, and once the device
 * works again the next command succeeds.
 */
#include <tuple>

#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class FaultTest : public PluginTest {};

/* One command of each kind: set, step up, step down, mute. */
const int32_t COMMANDS[] = {3050, 1010, 2010, 1};

/* Cold: the command is the first of the load, so every operation runs.
 * Warm: a command of the same kind ran before, so the device is open and
 * the control known, and only reads and writes can still fail. */
enum Start { COLD, WARM };

class MixerFault : public PluginTest,
                   public testing::WithParamInterface<
                       std::tuple<SimMixerOp, int32_t, Start>> {};

TEST_P(MixerFault, FailsCleanlyAndRecovers) {
  auto [op, id, start] = GetParam();
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  setLevels(speakers(), {30000, 20000});
  if (start == WARM) {
    ASSERT_EQ(KSTEvent_Execute(id, 0), 1);
  }
  std::vector<uint32_t> levels = levelsOf(speakers());
  uint32_t mute = speakers()->mute;
  simWindowsReset();
  simMixerClearCalls();

  simMixerFail(op, SIM_MMSYSERR_ERROR);
  int expected = start == WARM && op != SIM_MIXER_READ && op != SIM_MIXER_WRITE;
  EXPECT_EQ(KSTEvent_Execute(id, 0), expected);
  EXPECT_EQ(simMixerCalls(op) > 0, !expected) << "the fault was met";
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)expected);
  if (!expected) {
    EXPECT_EQ(levelsOf(speakers()), levels);
    EXPECT_EQ(speakers()->mute, mute);
  }

  simMixerFail(op, 0);
  EXPECT_EQ(KSTEvent_Execute(id, 0), 1);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)expected + 1);
  EXPECT_EQ(simMixerOpenHandles(), 1u);
}

std::string
faultCaseName(const testing::TestParamInfo<MixerFault::ParamType> &info) {
  static const char *const OP_NAMES[] = {"Open",    "Caps", "Line",
                                         "Control", "Read", "Write"};
  return std::string(OP_NAMES[std::get<0>(info.param)]) + "_" +
         std::to_string(std::get<1>(info.param)) +
         (std::get<2>(info.param) == WARM ? "_Warm" : "_Cold");
}

INSTANTIATE_TEST_SUITE_P(
    OpsByCommand, MixerFault,
    testing::Combine(testing::Values(SIM_MIXER_OPEN, SIM_MIXER_CAPS,
                                     SIM_MIXER_LINE, SIM_MIXER_CONTROL,
                                     SIM_MIXER_READ, SIM_MIXER_WRITE),
                     testing::ValuesIn(COMMANDS), testing::Values(COLD, WARM)),
    faultCaseName);

TEST_F(FaultTest, FailedOpenIsRetriedByTheNextCommand) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simMixerSetPresent(0);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 0);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 0);
  simMixerSetPresent(1);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 1);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 3u);
  EXPECT_EQ(simMixerOpenHandles(), 1u);
}

/* The device is open even when its capabilities cannot be read; the next
 * command goes on from there instead of opening a second handle. */
TEST_F(FaultTest, FailedCapabilityQueryKeepsMixerOpen) {
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simMixerFail(SIM_MIXER_CAPS, SIM_MMSYSERR_ERROR);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 0);
  EXPECT_EQ(KSTEvent_Execute(3050, 0), 1);
  EXPECT_EQ(KSTEvent_Execute(1, 0), 1);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 1u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_CAPS), 1u);
}

} // namespace
