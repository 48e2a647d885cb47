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

enum { EMPTY_SLOT = -1 };

/* Host words given to every command. */
static const uint32_t HOST_WORDS[5] = {0, 0xFFFFFFFFu, 4, 0, 0};

static_assert(sizeof TEXT_CAPTION_HEADSET + SETTING_TEXT_SIZE <=
                  COMMAND_TEXT_SIZE,
              "a caption with the longest text fits");

static void fillCommand(CommandInfo *command, const CommandFamily &family,
                        int32_t value, const char *slotText) {
  char text[COMMAND_TEXT_SIZE];
  formatCommandText(text, family.nameFormat, value, slotText);
  command->name = copyString(text);
  formatCommandText(text, family.captionFormat, value, slotText);
  command->caption = copyString(text);
  int32_t commandId = family.firstId + value;
  command->commandId = commandId;
  command->hostWord1 = HOST_WORDS[0];
  command->hostWord2 = HOST_WORDS[1];
  command->hostWord3 = HOST_WORDS[2];
  command->hostWord4 = HOST_WORDS[3];
  command->hostWord5 = HOST_WORDS[4];
}

/* The slots of a text family that hold a text, with their texts. */
static uint32_t readTexts(const char *path, const CommandFamily &first,
                          int32_t numbers[COMMAND_SLOTS],
                          char texts[COMMAND_SLOTS][SETTING_TEXT_SIZE]) {
  uint32_t count = 0;
  for (int k = 0; k < COMMAND_SLOTS; k++) {
    readSettingText(path, "Command", first.key, (uint32_t)k, texts[count]);
    if (texts[count][0] != '\0')
      numbers[count++] = k;
  }
  return count;
}

/* The numbers the rows from first to last (one key) offer their commands
 * for, in slot order, and a text family's texts; a switch that is on, or
 * a row without a key, offers them once, for 0. Returns how many. */
static uint32_t readNumbers(const char *path, const CommandFamily &first,
                            int32_t numbers[COMMAND_SLOTS],
                            char texts[COMMAND_SLOTS][SETTING_TEXT_SIZE]) {
  if (first.keyKind == KEY_TEXT_SLOTS)
    return readTexts(path, first, numbers, texts);
  texts[0][0] = '\0';
  if (first.keyKind != KEY_NUMBER_SLOTS) {
    numbers[0] = 0;
    return first.keyKind == KEY_NONE ||
           settingInt(path, "Command", first.key, 0) == 1;
  }
  char key[32];
  size_t length = strlen(first.key);
  memcpy(key, first.key, length);
  key[length + 1] = '\0';
  uint32_t count = 0;
  for (int k = 0; k < COMMAND_SLOTS; k++) {
    key[length] = (char)('0' + k);
    int32_t value = settingInt(path, "Command", key, EMPTY_SLOT);
    if (value >= 0 && value <= COMMAND_RANGE)
      numbers[count++] = value;
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
struct OfferedNumbers {
  int32_t numbers[COMMAND_FAMILY_COUNT][COMMAND_SLOTS]; /* by a part's first
                                                           row */
  char texts[COMMAND_FAMILY_COUNT][COMMAND_SLOTS][SETTING_TEXT_SIZE];
  uint32_t count[COMMAND_FAMILY_COUNT];
};

static uint32_t readTable(const char *path, OfferedNumbers *offered) {
  uint32_t commands = 0;
  for (size_t first = 0; first < COMMAND_FAMILY_COUNT;) {
    size_t end = partEnd(first);
    offered->count[first] =
        readNumbers(path, COMMAND_FAMILIES[first], offered->numbers[first],
                    offered->texts[first]);
    commands += offered->count[first] * (uint32_t)(end - first);
    first = end;
  }
  return commands;
}

/* For each number of a part, every row's command, in row order. */
static void fillTable(const OfferedNumbers *offered, CommandInfo *next) {
  for (size_t first = 0; first < COMMAND_FAMILY_COUNT;) {
    size_t end = partEnd(first);
    for (uint32_t k = 0; k < offered->count[first]; k++)
      for (size_t row = first; row < end; row++)
        fillCommand(next++, COMMAND_FAMILIES[row], offered->numbers[first][k],
                    COMMAND_FAMILIES[first].keyKind == KEY_TEXT_SLOTS
                        ? offered->texts[first][k]
                        : offered->texts[first][0]);
    first = end;
  }
}

void buildCommandCatalogue(PluginInfo *info) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  OfferedNumbers offered;
  uint32_t count = readTable(path, &offered);
  CommandInfo *commands =
      (CommandInfo *)platformAlloc(count * sizeof(CommandInfo));
  info->commandCount = commands ? count : 0;
  info->commands = commands;
  if (commands)
    fillTable(&offered, commands);
}

void freeCommandCatalogue(PluginInfo *info) {
  CommandInfo *commands = info->commands;
  for (uint32_t i = 0; i < info->commandCount; i++) {
    platformFree(commands[i].name);
    platformFree(commands[i].caption);
  }
  platformFree(commands);
}
