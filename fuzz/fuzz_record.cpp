/*
 * The information record given arbitrary [Command] contents and a failing
 * allocation, followed by the free.
 *
 * Input: one allocation to fail (or none), then either a value for any of
 * the command table's keys (text of any kind, written as "<key>0".."<key>9"
 * for a number family, "<key>" for a switch) or the settings file's raw
 * bytes. Checks: a null record only when its own allocation failed; the
 * count equal to what the table's rows offer for the keys as the profile
 * reader gives them (0 with no table when the table's allocation failed);
 * every command's identifier, name and caption (or a null where the
 * allocation failed) in the rows' order; nothing left allocated after
 * the free.
 */
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <utility>
#include <vector>

#include "command/command_families.h"
#include "fuzz_support.h"
#include "platform/platform.h"
#include "plugin/plugin.h"
#include "sim/sim.h"

/* Every key of the command table, with its row: the slots of a number
 * family as "<key>0".."<key>9", a switch by its name. */
static std::vector<std::string> tableKeys(void) {
  std::vector<std::string> keys;
  for (size_t i = 0; i < COMMAND_FAMILY_COUNT; i++) {
    const CommandFamily &row = COMMAND_FAMILIES[i];
    if (!row.key || (i > 0 && COMMAND_FAMILIES[i - 1].key &&
                     strcmp(COMMAND_FAMILIES[i - 1].key, row.key) == 0))
      continue;
    if (row.keyKind == KEY_SWITCH)
      keys.push_back(row.key);
    for (int k = 0; row.keyKind >= KEY_NUMBER_SLOTS && k < COMMAND_SLOTS; k++)
      keys.push_back(row.key + std::to_string(k));
  }
  return keys;
}

static std::string slotsSection(FuzzedDataProvider &input) {
  std::string text = "[Command]\r\n";
  for (const std::string &key : tableKeys()) {
    if (input.remaining_bytes() == 0 || input.ConsumeIntegralInRange(0, 3) == 0)
      continue;
    std::string value =
        input.ConsumeBool()
            ? std::to_string(input.ConsumeIntegralInRange(-5, 105))
            : input.ConsumeRandomLengthString(40);
    text += key + "=" + value + "\r\n";
  }
  return text;
}

struct Expected {
  std::string name;
  int32_t id;
  int32_t number; /* the caption's number; -1: a caption without one */
};

/* The numbers the profile reader gives a row's key: the valid slots in
 * slot order (a text slot's number is the slot's), or 0 once for a switch
 * that is exactly 1 (or no key). */
static std::vector<int32_t> offeredNumbers(const CommandFamily &row) {
  std::string path = fuzzFolder() + "/volume.ini";
  std::vector<int32_t> numbers;
  for (int k = 0; row.keyKind == KEY_TEXT_SLOTS && k < COMMAND_SLOTS; k++) {
    char text[8];
    std::string key = row.key + std::to_string(k);
    if (platformProfileString("Command", key.c_str(), text, sizeof text,
                              path.c_str()) > 0)
      numbers.push_back(k);
  }
  if (row.keyKind == KEY_NONE ||
      (row.keyKind == KEY_SWITCH &&
       platformProfileInt("Command", row.key, 0, path.c_str()) == 1))
    numbers.push_back(0);
  for (int k = 0; row.keyKind == KEY_NUMBER_SLOTS && k < COMMAND_SLOTS; k++) {
    std::string key = row.key + std::to_string(k);
    int32_t value =
        platformProfileInt("Command", key.c_str(), -1, path.c_str());
    if (value >= 0 && value <= 100)
      numbers.push_back(value);
  }
  return numbers;
}

static std::string nameOf(const CommandFamily &row, int32_t number) {
  std::string name = row.nameFormat;
  size_t mark = name.find("%d");
  if (mark != std::string::npos)
    name.replace(mark, 2, std::to_string(number));
  return name;
}

/* Rows with the same key, one after the other, are offered together:
 * for each number, every row's command. */
static std::vector<Expected> expectedTable(void) {
  std::vector<Expected> table;
  for (size_t first = 0, end = 0; first < COMMAND_FAMILY_COUNT; first = end) {
    const char *key = COMMAND_FAMILIES[first].key;
    for (end = first + 1;
         key && end < COMMAND_FAMILY_COUNT && COMMAND_FAMILIES[end].key &&
         strcmp(COMMAND_FAMILIES[end].key, key) == 0;
         end++)
      ;
    for (int32_t number : offeredNumbers(COMMAND_FAMILIES[first]))
      for (size_t i = first; i < end; i++) {
        const CommandFamily &row = COMMAND_FAMILIES[i];
        bool numbered = strstr(row.nameFormat, "%d") != nullptr;
        table.push_back({nameOf(row, number), row.firstId + number,
                         numbered ? number : -1});
      }
  }
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
