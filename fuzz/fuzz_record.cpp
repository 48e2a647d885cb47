/*
 * The information record given arbitrary [Command] contents and a failing
 * allocation, followed by the free.
 *
 * Input: one allocation to fail (or none), then either values for any of
 * the command table's keys, picked at random (a number or text of any
 * bytes, written as "<key>0".."<key>9" for a family of slots, number or
 * text, "<key>" for a switch; a text slot with the number slot of the
 * same k) or the settings file's raw bytes. Checks: a null record only
 * when its own allocation failed; the count equal to what the table's
 * rows offer for the keys as the profile reader gives them (0 with no
 * table when the table's allocation failed); every command's identifier,
 * name and caption (or a null where the allocation failed) in the rows'
 * order, a caption holding its number where it has one and a text slot's
 * caption its text, cut as the host is given it; nothing left allocated
 * after the free.
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
#include "plugin/settings.h"
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

static std::string consumeValue(FuzzedDataProvider &input) {
  return input.ConsumeBool()
             ? std::to_string(input.ConsumeIntegralInRange(-5, 105))
             : input.ConsumeRandomLengthString(40);
}

/* Keys picked at random, so that the table's last rows are reached as
 * often as its first; and now and then a text slot with the number slot
 * of the same k, which a named device needs both of. */
static std::string slotsSection(FuzzedDataProvider &input) {
  static const std::vector<std::string> keys = tableKeys();
  std::string text = "[Command]\r\n";
  while (input.remaining_bytes() > 0 && input.ConsumeIntegralInRange(0, 15)) {
    if (input.ConsumeIntegralInRange(0, 3) == 0) {
      const SettingNumberRow &row = input.PickValueInArray(SETTING_NUMBER_ROWS);
      std::string k = std::to_string(input.ConsumeIntegralInRange(0, 9));
      text += std::string(SETTING_TEXT_ROWS[row.text].key) + k + "=" +
              input.ConsumeRandomLengthString(40) + "\r\n";
      text += row.key + k + "=" + consumeValue(input) + "\r\n";
      continue;
    }
    const std::string &key =
        keys[input.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)];
    text += key + "=" + consumeValue(input) + "\r\n";
  }
  return text;
}

/* What one offered command's caption must hold. */
struct Expected {
  std::string name;
  int32_t id;
  int32_t number;   /* the caption's number; -1: a caption without one */
  std::string text; /* the caption's text of the settings file, or none */
};

/* One entry a key offers: the identifier's offset from the row's first
 * (also the name's number), the caption's number and text. */
struct Offered {
  int32_t slot, number;
  std::string text;
};

static std::string settingsPath(void) { return fuzzFolder() + "/volume.ini"; }

/* A slot's text as the profile reader gives it, cut to 63 bytes where a
 * double-byte character of code page 932 would be split (independently of
 * the plug-in's own cut). */
static std::string slotText(const char *key, int k) {
  char value[SETTINGS_PATH_SIZE];
  std::string name = key + std::to_string(k);
  uint32_t read = platformProfileString("Command", name.c_str(), value,
                                        sizeof value, settingsPath().c_str());
  uint32_t kept = 0;
  for (uint32_t width = 1; kept < read; kept += width) {
    unsigned char byte = (unsigned char)value[kept];
    width = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)
                ? 2
                : 1;
    if (kept + width > read || kept + width > SETTING_TEXT_SIZE - 1)
      break;
  }
  return std::string(value, kept);
}

static int32_t slotNumber(const char *key, int k) {
  std::string name = key + std::to_string(k);
  return platformProfileInt("Command", name.c_str(), -1,
                            settingsPath().c_str());
}

/* The slots of a text row whose text holds and, with a number row, whose
 * number offers the command (0 to 100, or exactly 1 for a switch). */
static std::vector<Offered> offeredTexts(const CommandFamily &row) {
  std::vector<Offered> offered;
  for (int k = 0; k < COMMAND_SLOTS; k++) {
    std::string text = slotText(SETTING_TEXT_ROWS[row.text].key, k);
    int32_t number = k;
    if (row.keyKind == KEY_TEXT_NUMBER_SLOTS) {
      const SettingNumberRow &numbers = SETTING_NUMBER_ROWS[row.number];
      number = slotNumber(numbers.key, k);
      if (numbers.kind == NUMBER_SWITCH ? number != 1
                                        : number < 0 || number > 100)
        continue;
    }
    if (!text.empty())
      offered.push_back({k, number, text});
  }
  return offered;
}

/* What the profile reader gives a row's key: the valid slots in slot
 * order, or 0 once for a switch that is exactly 1 (or no key). */
static std::vector<Offered> offeredEntries(const CommandFamily &row) {
  if (row.keyKind == KEY_TEXT_SLOTS || row.keyKind == KEY_TEXT_NUMBER_SLOTS)
    return offeredTexts(row);
  std::vector<Offered> offered;
  if (row.keyKind == KEY_NONE ||
      (row.keyKind == KEY_SWITCH &&
       platformProfileInt("Command", row.key, 0, settingsPath().c_str()) == 1))
    offered.push_back({0, 0, ""});
  for (int k = 0; row.keyKind == KEY_NUMBER_SLOTS && k < COMMAND_SLOTS; k++) {
    int32_t value = slotNumber(row.key, k);
    if (value >= 0 && value <= 100)
      offered.push_back({value, value, ""});
  }
  return offered;
}

static std::string nameOf(const CommandFamily &row, int32_t number) {
  std::string name = row.nameFormat;
  size_t mark = name.find("%d");
  if (mark != std::string::npos)
    name.replace(mark, 2, std::to_string(number));
  return name;
}

/* Rows with the same key, one after the other, are offered together:
 * for each entry, every row's command. A caption holds its number where
 * it has one (a number slot's; a text and number slot's), and a text
 * slot's caption its text. */
static std::vector<Expected> expectedTable(void) {
  std::vector<Expected> table;
  for (size_t first = 0, end = 0; first < COMMAND_FAMILY_COUNT; first = end) {
    const char *key = COMMAND_FAMILIES[first].key;
    for (end = first + 1;
         key && end < COMMAND_FAMILY_COUNT && COMMAND_FAMILIES[end].key &&
         strcmp(COMMAND_FAMILIES[end].key, key) == 0;
         end++)
      ;
    for (const Offered &entry : offeredEntries(COMMAND_FAMILIES[first]))
      for (size_t i = first; i < end; i++) {
        const CommandFamily &row = COMMAND_FAMILIES[i];
        bool numbered = strstr(row.captionFormat, "%d") != nullptr;
        table.push_back({nameOf(row, entry.slot), row.firstId + entry.slot,
                         numbered ? entry.number : -1, entry.text});
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
    FUZZ_CHECK(strlen(command.caption) > number.size() + want.text.size());
    FUZZ_CHECK(number.empty() || strstr(command.caption, number.c_str()));
    FUZZ_CHECK(strstr(command.caption, want.text.c_str()));
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
