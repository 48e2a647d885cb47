/*
 * The command table, built from the "Command" section of the settings file:
 * ten step slots "UpDown0".."UpDown9" that each give a volume-up and a
 * volume-down command, ten level slots "Set0".."Set9", and mute, last.
 */
#include "plugin/catalogue.h"

#include <cstring>

#include "platform/platform.h"
#include "plugin/command_ids.h"
#include "plugin/heap_string.h"
#include "plugin/settings.h"
#include "plugin/texts.h"

enum { SLOTS = 10, EMPTY_SLOT = -1, TEXT_SIZE = 128 };

/* Host words given to every command. */
static const uint32_t HOST_WORDS[5] = {0, 0xFFFFFFFFu, 4, 0, 0};

/* Reads "<prefix>0".."<prefix>9"; a value outside 0..100 empties its slot. */
static int readSlots(const char *path, const char *prefix,
                     int32_t values[SLOTS]) {
  char key[16];
  size_t length = strlen(prefix);
  memcpy(key, prefix, length);
  key[length + 1] = '\0';
  int used = 0;
  for (int k = 0; k < SLOTS; k++) {
    key[length] = (char)('0' + k);
    int32_t value = settingInt(path, "Command", key, EMPTY_SLOT);
    values[k] = value >= 0 && value <= COMMAND_RANGE ? value : EMPTY_SLOT;
    used += values[k] != EMPTY_SLOT;
  }
  return used;
}

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

void buildCommandCatalogue(PluginInfo *info) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  int32_t steps[SLOTS], levels[SLOTS];
  uint32_t count = 1 + 2 * (uint32_t)readSlots(path, "UpDown", steps) +
                   (uint32_t)readSlots(path, "Set", levels);
  CommandInfo *commands =
      (CommandInfo *)platformAlloc(count * sizeof(CommandInfo));
  info->commandCount = commands ? count : 0;
  info->commands = commands;
  if (!commands)
    return;
  CommandInfo *next = commands;
  for (int k = 0; k < SLOTS; k++) {
    if (steps[k] == EMPTY_SLOT)
      continue;
    fillCommand(next++, "VolumeUp(%d)", TEXT_CAPTION_UP, steps[k],
                COMMAND_VOLUME_UP + steps[k]);
    fillCommand(next++, "VolumeDown(%d)", TEXT_CAPTION_DOWN, steps[k],
                COMMAND_VOLUME_DOWN + steps[k]);
  }
  for (int k = 0; k < SLOTS; k++)
    if (levels[k] != EMPTY_SLOT)
      fillCommand(next++, "Set(%d)", TEXT_CAPTION_SET, levels[k],
                  COMMAND_SET_VOLUME + levels[k]);
  fillCommand(next, "Mute", TEXT_CAPTION_MUTE, 0, COMMAND_MUTE);
}

void freeCommandCatalogue(PluginInfo *info) {
  CommandInfo *commands = info->commands;
  for (uint32_t i = 0; i < info->commandCount; i++) {
    platformFree(commands[i].name);
    platformFree(commands[i].caption);
  }
  platformFree(commands);
}
