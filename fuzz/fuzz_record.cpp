/*
 * The information record given arbitrary [Command] contents and a failing
 * allocation, followed by the free.
 *
 * Input: one allocation to fail (or none), then either twenty slot values
 * (text of any kind, written as UpDown0..9 and Set0..9) or the settings
 * file's raw bytes. Checks: a null record only when its own allocation
 * failed; the count equal to 1 + 2 x valid step slots + valid set slots,
 * the slots read with the profile reader (0 with no table when the table's
 * allocation failed); every command's identifier, name and caption (or a
 * null where the allocation failed); mute last; nothing left allocated
 * after the free.
 */
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "platform/platform.h"
#include "platform/standin/standin.h"
#include "plugin/plugin.h"

enum { SLOTS = 10 };

static std::string slotsSection(FuzzedDataProvider &input) {
  std::string text = "[Command]\r\n";
  for (int k = 0; k < 2 * SLOTS && input.remaining_bytes() > 0; k++) {
    if (input.ConsumeIntegralInRange(0, 3) == 0)
      continue;
    std::string value =
        input.ConsumeBool()
            ? std::to_string(input.ConsumeIntegralInRange(-5, 105))
            : input.ConsumeRandomLengthString(40);
    text += (k % 2 ? "Set" : "UpDown") + std::to_string(k / 2) + "=" + value +
            "\r\n";
  }
  return text;
}

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

static std::vector<Expected> expectedTable(void) {
  int32_t steps[SLOTS], levels[SLOTS];
  readSlots("UpDown", steps);
  readSlots("Set", levels);
  std::vector<Expected> table;
  for (int32_t v : steps)
    if (v >= 0) {
      table.push_back({"VolumeUp(" + std::to_string(v) + ")", 1000 + v, v});
      table.push_back({"VolumeDown(" + std::to_string(v) + ")", 2000 + v, v});
    }
  for (int32_t v : levels)
    if (v >= 0)
      table.push_back({"Set(" + std::to_string(v) + ")", 3000 + v, v});
  table.push_back({"Mute", 1, -1});
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
  long failing = input.ConsumeIntegralInRange<long>(-1, 70);
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
