/*
 * The information record given arbitrary [Command] contents and a failing
 * allocation, followed by the free.
 *
 * Input: one allocation to fail (or none), then either forty slot values
 * and five switch values (text of any kind, written as UpDown0..9,
 * Set0..9, AppUpDown0..9, AppSet0..9, MuteOnOff, MicMute, MicMuteOnOff,
 * AppMute and AppMuteOnOff) or the settings file's raw bytes. Checks: a
 * null record only when its own allocation failed; the count equal to 1 +
 * 2 x valid step slots + valid set slots + the commands of the switches
 * that are exactly 1, each read with the profile reader (0 with no table
 * when the table's allocation failed); every command's identifier, name
 * and caption (or a null where the allocation failed) in the table's
 * order (steps, sets, Mute, the switches, then the focused application's
 * steps, sets and switches); nothing left allocated after the free.
 */
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "platform/platform.h"
#include "platform/standin/standin.h"
#include "plugin/plugin.h"

enum { SLOTS = 10 };

static const char *const SLOT_KEYS[] = {"UpDown", "Set", "AppUpDown", "AppSet"};

static std::string slotsSection(FuzzedDataProvider &input) {
  std::string text = "[Command]\r\n";
  for (int k = 0; k < 4 * SLOTS && input.remaining_bytes() > 0; k++) {
    if (input.ConsumeIntegralInRange(0, 3) == 0)
      continue;
    std::string value =
        input.ConsumeBool()
            ? std::to_string(input.ConsumeIntegralInRange(-5, 105))
            : input.ConsumeRandomLengthString(40);
    text += SLOT_KEYS[k % 4] + std::to_string(k / 4) + "=" + value + "\r\n";
  }
  for (const char *key :
       {"MuteOnOff", "MicMute", "MicMuteOnOff", "AppMute", "AppMuteOnOff"})
    if (input.remaining_bytes() > 0 && input.ConsumeBool())
      text += std::string(key) + "=" +
              std::to_string(input.ConsumeIntegralInRange(-1, 2)) + "\r\n";
  return text;
}

/* What each switch key adds after Mute when it is exactly 1. */
struct Switch {
  const char *key;
  std::vector<std::pair<std::string, int32_t>> commands;
};
static const Switch SWITCHES[] = {
    {"MuteOnOff", {{"MuteOn", 2}, {"MuteOff", 3}}},
    {"MicMute", {{"MicMute", 11}}},
    {"MicMuteOnOff", {{"MicMuteOn", 12}, {"MicMuteOff", 13}}}};
static const Switch APP_SWITCHES[] = {
    {"AppMute", {{"AppMute", 21}}},
    {"AppMuteOnOff", {{"AppMuteOn", 22}, {"AppMuteOff", 23}}}};

/* The slot values as the reader gives them; -1 for an empty slot. */
static void readSlots(const char *prefix, int32_t values[SLOTS]) {
  std::string path = fuzzFolder() + "/volume.ini";
  for (int k = 0; k < SLOTS; k++) {
    std::string key = prefix + std::to_string(k);
    int32_t value =
        platformProfileInt("Command", key.c_str(), -1, path.c_str());
    values[k] = value >= 0 && value <= 100 ? value : -1;
  }
}

struct Expected {
  std::string name;
  int32_t id;
  int32_t number; /* the caption's number; -1: the mute caption */
};

/* The step and set commands of one family ("" or "App"), whose
 * identifiers start at base + 1000, 2000 and 3000. */
static void addSlotCommands(std::vector<Expected> &table,
                            const std::string &family, int32_t base) {
  int32_t steps[SLOTS], levels[SLOTS];
  readSlots((family + "UpDown").c_str(), steps);
  readSlots((family + "Set").c_str(), levels);
  std::string up = family.empty() ? "VolumeUp(" : family + "VolumeUp(";
  std::string down = family.empty() ? "VolumeDown(" : family + "VolumeDown(";
  for (int32_t v : steps)
    if (v >= 0) {
      table.push_back({up + std::to_string(v) + ")", base + 1000 + v, v});
      table.push_back({down + std::to_string(v) + ")", base + 2000 + v, v});
    }
  for (int32_t v : levels)
    if (v >= 0)
      table.push_back(
          {family + "Set(" + std::to_string(v) + ")", base + 3000 + v, v});
}

template <size_t N>
static void addSwitches(std::vector<Expected> &table,
                        const Switch (&switches)[N]) {
  std::string path = fuzzFolder() + "/volume.ini";
  for (const Switch &item : switches)
    if (platformProfileInt("Command", item.key, 0, path.c_str()) == 1)
      for (const auto &command : item.commands)
        table.push_back({command.first, command.second, -1});
}

static std::vector<Expected> expectedTable(void) {
  std::vector<Expected> table;
  addSlotCommands(table, "", 0);
  table.push_back({"Mute", 1, -1});
  addSwitches(table, SWITCHES);
  addSlotCommands(table, "App", 3000);
  addSwitches(table, APP_SWITCHES);
  return table;
}

static void checkCommand(const CommandInfo &command, const Expected &want) {
  FUZZ_CHECK(command.commandId == want.id);
  if (command.name)
    FUZZ_CHECK(want.name == command.name);
  if (command.caption) {
    std::string number = want.number < 0 ? "" : std::to_string(want.number);
    FUZZ_CHECK(strlen(command.caption) > number.size());
    FUZZ_CHECK(number.empty() || strstr(command.caption, number.c_str()));
  }
  FUZZ_CHECK(command.hostWord1 == 0 && command.hostWord2 == 0xFFFFFFFFu &&
             command.hostWord3 == 4 && command.hostWord4 == 0 &&
             command.hostWord5 == 0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  fuzzResetPlugin();
  long failing = input.ConsumeIntegralInRange<long>(-1, 150);
  if (input.ConsumeBool())
    fuzzWriteSettings(slotsSection(input));
  else
    fuzzWriteSettings(input.ConsumeRemainingBytesAsString());
  std::vector<Expected> table = expectedTable();

  simHeapFailAllocation(failing);
  PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
  simHeapFailAllocation(-1);
  FUZZ_CHECK((info == nullptr) == (failing == 0));
  if (info) {
    FUZZ_CHECK(info->kindCode == 1 && info->headerWord == 0);
    FUZZ_CHECK(!info->fileName || strcmp(info->fileName, "volume.dll") == 0);
    if (!info->commands) {
      FUZZ_CHECK(info->commandCount == 0);
    } else {
      FUZZ_CHECK(info->commandCount == table.size());
      for (size_t i = 0; i < table.size(); i++)
        checkCommand(info->commands[i], table[i]);
    }
  }
  KSTEvent_FreePluginInfo(info);
  FUZZ_CHECK(simHeapLiveBlocks() == 0);
  return 0;
}
