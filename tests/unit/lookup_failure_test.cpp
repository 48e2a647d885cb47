/*
 * A line or control that cannot be found ends the command there: nothing
 * more is asked of the mixer, whether the look-up failed with an error or
 * the device simply lacks the line or control.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

enum LookupFailure {
  LINE_ERROR,    /* mixerGetLineInfoA fails */
  NO_LINE,       /* the device has no such line */
  CONTROL_ERROR, /* mixerGetLineControlsA fails */
  NO_CONTROL,    /* the line has no such control */
};

struct LookupRow {
  const char *name;
  LookupFailure failure;
  int32_t id;
};

/* Failure messages name the row instead of dumping its bytes. */
void PrintTo(const LookupRow &row, std::ostream *out) { *out << row.name; }

const LookupRow LOOKUP_ROWS[] = {
    {"LineErrorSet", LINE_ERROR, 3050},
    {"LineErrorUp", LINE_ERROR, 1010},
    {"LineErrorDown", LINE_ERROR, 2010},
    {"LineErrorMute", LINE_ERROR, 1},
    {"NoLineSet", NO_LINE, 3050},
    {"NoLineStep", NO_LINE, 1010},
    {"NoLineMute", NO_LINE, 1},
    {"ControlErrorSet", CONTROL_ERROR, 3050},
    {"ControlErrorUp", CONTROL_ERROR, 1010},
    {"ControlErrorDown", CONTROL_ERROR, 2010},
    {"ControlErrorMute", CONTROL_ERROR, 1},
    {"NoVolumeControlSet", NO_CONTROL, 3050},
    {"NoVolumeControlStep", NO_CONTROL, 2010},
    {"NoMuteControl", NO_CONTROL, 1},
};

class FailedLookup : public PluginTest,
                     public testing::WithParamInterface<LookupRow> {
protected:
  void shapeFailure(const LookupRow &row) {
    switch (row.failure) {
    case LINE_ERROR:
      simMixerFail(SIM_MIXER_LINE, SIM_MMSYSERR_ERROR);
      break;
    case NO_LINE:
      simMixerRemoveLines();
      break;
    case CONTROL_ERROR:
      simMixerFail(SIM_MIXER_CONTROL, SIM_MMSYSERR_ERROR);
      break;
    case NO_CONTROL:
      if (row.id == 1)
        speakers()->hasMute = 0;
      else
        speakers()->hasVolume = 0;
      break;
    }
  }
};

TEST_P(FailedLookup, AsksTheMixerNothingMore) {
  const LookupRow &row = GetParam();
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  shapeFailure(row);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 0);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_LINE), 1u);
  int lineFailed = row.failure == LINE_ERROR || row.failure == NO_LINE;
  EXPECT_EQ(simMixerCalls(SIM_MIXER_CONTROL), lineFailed ? 0u : 1u)
      << "a control was looked up on a line that was not found";
  EXPECT_EQ(simMixerCalls(SIM_MIXER_READ), 0u);
  EXPECT_EQ(simMixerCalls(SIM_MIXER_WRITE), 0u);
  EXPECT_EQ(simMixerLastWrite(), nullptr);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Commands, FailedLookup, testing::ValuesIn(LOOKUP_ROWS),
                         rowName<LookupRow>);

} // namespace
