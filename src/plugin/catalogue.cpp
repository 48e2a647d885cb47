/*
 * The command table, built from the "Command" section of the settings file:
 * the families of plugin/command_table.h in their order, each offered as
 * its row's key says (e.g. ten step slots "UpDown0".."UpDown9" that each
 * give a volume-up and a volume-down command; "MicMute=1").
 */
#include "plugin/catalogue.h"

#include <cstring>

#include "platform/platform.h"
#include "plugin/command_table.h"
#include "plugin/heap_string.h"
#include "plugin/settings.h"
#include "plugin/texts.h"

enum { EMPTY_SLOT = -1, TEXT_SIZE = 128 };

/* Host words given to every command. */
static const uint32_t HOST_WORDS[5] = {0, 0xFFFFFFFFu, 4, 0, 0};

/* Writes format into out with its "%d", if any, replaced by value in
 * signed decimal, as sprintf would, without pulling in the C library's
 * printf family. */
static void formatWithNumber(char out[TEXT_SIZE], const char *format,
                             int32_t value) {
  const char *mark = strstr(format, "%d");
  if (!mark) {
    strcpy(out, format);
    return;
  }
  char digits[12];
  int count = 0;
  uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  do {
    digits[count++] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0)
    digits[count++] = '-';
  size_t head = (size_t)(mark - format);
  memcpy(out, format, head);
  char *at = out + head;
  while (count > 0)
    *at++ = digits[--count];
  strcpy(at, mark + 2);
}

static void fillCommand(CommandInfo *command, const char *nameFormat,
                        const char *captionFormat, int32_t value,
                        int32_t commandId) {
  char text[TEXT_SIZE];
  formatWithNumber(text, nameFormat, value);
  command->name = copyString(text);
  formatWithNumber(text, captionFormat, value);
  command->caption = copyString(text);
  command->commandId = commandId;
  command->hostWord1 = HOST_WORDS[0];
  command->hostWord2 = HOST_WORDS[1];
  command->hostWord3 = HOST_WORDS[2];
  command->hostWord4 = HOST_WORDS[3];
  command->hostWord5 = HOST_WORDS[4];
}

/* The numbers the rows from first to last (one key) offer their commands
 * for, in slot order; a switch that is on, or a row without a key, offers
 * them once, for 0. Returns how many numbers. */
static uint32_t readNumbers(const char *path, const CommandFamily &first,
                            int32_t numbers[COMMAND_SLOTS]) {
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
  uint32_t count[COMMAND_FAMILY_COUNT];
};

static uint32_t readTable(const char *path, OfferedNumbers *offered) {
  uint32_t commands = 0;
  for (size_t first = 0; first < COMMAND_FAMILY_COUNT;) {
    size_t end = partEnd(first);
    offered->count[first] =
        readNumbers(path, COMMAND_FAMILIES[first], offered->numbers[first]);
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
      for (size_t row = first; row < end; row++) {
        const CommandFamily &family = COMMAND_FAMILIES[row];
        int32_t number = offered->numbers[first][k];
        fillCommand(next++, family.nameFormat, family.captionFormat, number,
                    family.firstId + number);
      }
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
