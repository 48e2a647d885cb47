/*
 * The command table, built from the "Command" section of the settings file:
 * the families of command/command_families.h in their order, each offered as
 * its row's key says (e.g. ten step slots "UpDown0".."UpDown9" that each
 * give a volume-up and a volume-down command; "MicMute=1").
 */
#include "plugin/catalogue.h"

#include <cstring>

#include "command/command_families.h"
#include "command/texts.h"
#include "platform/platform.h"
#include "plugin/command_text.h"
#include "plugin/heap_string.h"
#include "plugin/settings.h"

/* Host words given to every command. */
static const uint32_t HOST_WORDS[5] = {0, 0xFFFFFFFFu, 4, 0, 0};

static_assert(sizeof TEXT_CAPTION_HEADSET + SETTING_TEXT_SIZE <=
                  COMMAND_TEXT_SIZE,
              "a caption with the longest text fits");

/* One command a part of the table offers, for every row of the part: the
 * identifier's offset from the row's first (also the name's "%d"), the
 * caption's "%d" and the settings text for "%s". */
struct OfferedEntry {
  int32_t slot;
  int32_t number;
  char text[SETTING_TEXT_SIZE];
};

static void fillCommand(CommandInfo *command, const CommandFamily &family,
                        const OfferedEntry &entry) {
  char text[COMMAND_TEXT_SIZE];
  formatCommandText(text, family.nameFormat, entry.slot, entry.text);
  command->name = copyString(text);
  formatCommandText(text, family.captionFormat, entry.number, entry.text);
  command->caption = copyString(text);
  command->commandId = family.firstId + entry.slot;
  command->hostWord1 = HOST_WORDS[0];
  command->hostWord2 = HOST_WORDS[1];
  command->hostWord3 = HOST_WORDS[2];
  command->hostWord4 = HOST_WORDS[3];
  command->hostWord5 = HOST_WORDS[4];
}

/* Keeps an entry; returns the count with it. */
static uint32_t offer(OfferedEntry *entries, uint32_t count, int32_t slot,
                      int32_t number) {
  entries[count].slot = slot;
  entries[count].number = number;
  return count + 1;
}

/* The slots of a text row whose text holds and, for a text and number row,
 * whose number offers the command. */
static uint32_t readTextSlots(const char *path, const CommandFamily &first,
                              OfferedEntry entries[COMMAND_SLOTS]) {
  const SettingTextRow &texts = SETTING_TEXT_ROWS[first.text];
  uint32_t count = 0;
  for (int32_t k = 0; k < COMMAND_SLOTS; k++) {
    char *text = entries[count].text;
    readSettingText(path, texts.section, texts.key, (uint32_t)k, text);
    if (text[0] == '\0')
      continue;
    int32_t number = k;
    if (first.keyKind == KEY_TEXT_NUMBER_SLOTS) {
      const SettingNumberRow &numbers = SETTING_NUMBER_ROWS[first.number];
      number =
          readSettingNumber(path, numbers.section, numbers.key, (uint32_t)k);
      if (!numberOffers(numbers.kind, number))
        continue;
    }
    count = offer(entries, count, k, number);
  }
  return count;
}

/* What the rows from first on (one key) offer their commands for, in slot
 * order; a switch that is on, or a row without a key, offers them once,
 * for 0. Returns how many. */
static uint32_t readPart(const char *path, const CommandFamily &first,
                         OfferedEntry entries[COMMAND_SLOTS]) {
  if (first.keyKind == KEY_TEXT_SLOTS || first.keyKind == KEY_TEXT_NUMBER_SLOTS)
    return readTextSlots(path, first, entries);
  for (int32_t k = 0; k < COMMAND_SLOTS; k++)
    entries[k].text[0] = '\0';
  if (first.keyKind != KEY_NUMBER_SLOTS)
    return first.keyKind == KEY_NONE ||
                   settingInt(path, "Command", first.key, 0) == 1
               ? offer(entries, 0, 0, 0)
               : 0;
  uint32_t count = 0;
  for (int32_t k = 0; k < COMMAND_SLOTS; k++) {
    int32_t value = readSettingNumber(path, "Command", first.key, (uint32_t)k);
    if (numberOffers(NUMBER_AMOUNT, value))
      count = offer(entries, count, value, value);
  }
  return count;
}

/* The rows that follow first with the same key: one part of the table. */
static size_t partEnd(size_t first) {
  const char *key = COMMAND_FAMILIES[first].key;
  size_t end = first + 1;
  while (key && end < COMMAND_FAMILY_COUNT && COMMAND_FAMILIES[end].key &&
         strcmp(COMMAND_FAMILIES[end].key, key) == 0)
    end++;
  return end;
}

/* What the settings offer of each part, read once per table so that a
 * file changed meanwhile cannot make the count and the commands differ. */
struct OfferedCommands {
  OfferedEntry entries[COMMAND_FAMILY_COUNT][COMMAND_SLOTS]; /* by a part's
                                                                first row */
  uint32_t count[COMMAND_FAMILY_COUNT];
};

static uint32_t readTable(const char *path, OfferedCommands *offered) {
  uint32_t commands = 0;
  for (size_t first = 0; first < COMMAND_FAMILY_COUNT;) {
    size_t end = partEnd(first);
    offered->count[first] =
        readPart(path, COMMAND_FAMILIES[first], offered->entries[first]);
    commands += offered->count[first] * (uint32_t)(end - first);
    first = end;
  }
  return commands;
}

/* For each entry of a part, every row's command, in row order. */
static void fillTable(const OfferedCommands *offered, CommandInfo *next) {
  for (size_t first = 0; first < COMMAND_FAMILY_COUNT;) {
    size_t end = partEnd(first);
    for (uint32_t k = 0; k < offered->count[first]; k++)
      for (size_t row = first; row < end; row++)
        fillCommand(next++, COMMAND_FAMILIES[row], offered->entries[first][k]);
    first = end;
  }
}

void buildCommandCatalogue(PluginInfo *info) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  OfferedCommands offered;
  uint32_t count = readTable(path, &offered);
  CommandInfo *commands =
      (CommandInfo *)platformAlloc(count * sizeof(CommandInfo));
  info->commandCount = commands ? count : 0;
  info->commands = commands;
  if (commands)
    fillTable(&offered, commands);
}

const CommandFamily *commandFamilyOf(int32_t id) { return familyOfId(id); }

void freeCommandCatalogue(PluginInfo *info) {
  CommandInfo *commands = info->commands;
  for (uint32_t i = 0; i < info->commandCount; i++) {
    platformFree(commands[i].name);
    platformFree(commands[i].caption);
  }
  platformFree(commands);
}
