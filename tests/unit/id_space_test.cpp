/*
 * Each family keeps the identifiers the host has in its key bindings, and
 * of the identifiers around 0 and at both ends of the 32-bit range exactly
 * those in the rows of command/command_families.h reach the mixer or Core
 * Audio (the microphone's, the focused application's, a program's) and the
 * clock; every other one returns 0 and touches nothing. (bench/id_space.cpp
 * runs all 2^32 identifiers the same way, outside the test run.)
 */
#include <climits>
#include <iterator>
#include <string>

#include "command/command_families.h"
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class IdSpace : public PluginTest {};

struct Window {
  int64_t first, last;
};

const Window WINDOWS[] = {{-10000, 20000},
                          {INT_MIN, (int64_t)INT_MIN + 1000},
                          {(int64_t)INT_MAX - 1000, INT_MAX}};

/* Each family's first and last identifier, written out here rather than
 * read from the table, so that a family renumbered, widened or cut short
 * fails; so does a family that is not listed. */
struct PinnedRange {
  const char *name; /* the row's name format */
  int32_t first, last;
};

const PinnedRange PINNED_RANGES[] = {
    {"VolumeUp(%d)", 1000, 1100},
    {"VolumeDown(%d)", 2000, 2100},
    {"Set(%d)", 3000, 3100},
    {"Mute", 1, 1},
    {"MuteOn", 2, 2},
    {"MuteOff", 3, 3},
    {"MicMute", 11, 11},
    {"MicMuteOn", 12, 12},
    {"MicMuteOff", 13, 13},
    {"AppVolumeUp(%d)", 4000, 4100},
    {"AppVolumeDown(%d)", 5000, 5100},
    {"AppSet(%d)", 6000, 6100},
    {"AppMute", 21, 21},
    {"AppMuteOn", 22, 22},
    {"AppMuteOff", 23, 23},
    {"NextOutput", 31, 31},
    {"NextInput", 32, 32},
    {"OutputDevice(%d)", 7000, 7009},
    {"InputDevice(%d)", 7100, 7109},
    {"Device(%d)", 7200, 7209},
    {"MicVolumeUp(%d)", 8000, 8100},
    {"MicVolumeDown(%d)", 9000, 9100},
    {"MicSet(%d)", 10000, 10100},
    {"OutputVolumeUp(%d)", 11000, 11009},
    {"OutputVolumeDown(%d)", 11100, 11109},
    {"OutputSet(%d)", 11200, 11209},
    {"OutputMute(%d)", 11300, 11309},
    {"InputVolumeUp(%d)", 11400, 11409},
    {"InputVolumeDown(%d)", 11500, 11509},
    {"InputSet(%d)", 11600, 11609},
    {"InputMute(%d)", 11700, 11709},
    {"ProgramVolumeUp(%d)", 12000, 12009},
    {"ProgramVolumeDown(%d)", 12100, 12109},
    {"ProgramSet(%d)", 12200, 12209},
    {"ProgramMute(%d)", 12300, 12309},
};

void expectPinnedRanges(void) {
  ASSERT_EQ(COMMAND_FAMILY_COUNT, std::size(PINNED_RANGES));
  for (const PinnedRange &pinned : PINNED_RANGES) {
    const CommandFamily *row = nullptr;
    for (const CommandFamily &family : COMMAND_FAMILIES)
      if (std::string(family.nameFormat) == pinned.name)
        row = &family;
    ASSERT_NE(row, nullptr) << pinned.name;
    EXPECT_EQ(row->firstId, pinned.first) << pinned.name;
    EXPECT_EQ(row->lastId, pinned.last) << pinned.name;
  }
}

TEST_F(IdSpace, OnlyTheTablesIdentifiersReachTheMixer) {
  ASSERT_NO_FATAL_FAILURE(expectPinnedRanges());
  /* Every device slot names a device there is (the speakers and the
   * microphone both for a headset) and every program slot the player,
   * with a number for each of its commands. */
  std::string texts = "[Command]\n";
  for (int k = 0; k < 10; k++) {
    std::string slot = std::to_string(k);
    texts += "Output" + slot + "=speakers\nInput" + slot +
             "=microphone\nDevice" + slot + "=simulated\n";
    for (const SettingNumberRow &row : SETTING_NUMBER_ROWS)
      texts += std::string(row.key) + slot + "=1\n";
    texts += "Program" + slot + "=player\n";
  }
  writeSettings(texts);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  simEndpointReset(); /* with a recording device: the microphone's succeed */
  /* A program in the foreground with a session of its own. */
  simFocusReset();
  simProcessAdd(100, "C:\\player.exe");
  simSetForegroundWindow(simAppWindowAdd(0, "Player", 100));
  simSessionAdd(0, 100);
  unsigned reached = 0;
  std::vector<int64_t> misrouted;
  for (const Window &window : WINDOWS)
    for (int64_t id = window.first; id <= window.last; id++) {
      unsigned reads = simMixerCalls(SIM_MIXER_READ);
      unsigned windowCalls = simWindowCalls();
      unsigned comCalls = simEndpointAllCalls();
      int32_t result = KSTEvent_Execute((int32_t)id, 0);
      bool touched = simMixerCalls(SIM_MIXER_READ) != reads ||
                     simWindowCalls() != windowCalls ||
                     simEndpointAllCalls() != comCalls;
      reached += touched;
      if (touched != isCommandId(id) || result != (int32_t)isCommandId(id))
        misrouted.push_back(id);
    }
  EXPECT_EQ(reached, commandIdCount());
  EXPECT_EQ(simTrayClockNotifications(), commandIdCount());
  EXPECT_EQ(misrouted, std::vector<int64_t>{});
}

} // namespace
