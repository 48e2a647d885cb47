/*
 * The command table, built from the "Command" section of the settings file:
 * ten step slots "UpDown0".."UpDown9" that each give a volume-up and a
 * volume-down command, ten level slots "Set0".."Set9", mute, the commands
 * that keys switched on with 1 add after it, then the focused
 * application's step and level slots and switch keys.
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

/* One command of a part of the table: its name and caption, each with
 * the "%d" of the part's number if any, and its identifier at number 0. */
struct TableCommand {
  const char *name;
  const char *caption;
  int32_t firstId;
};

/* A slot family is ten keys "<key>0".."<key>9", each of whose values
 * 0..100 adds the part's commands for that number; a switch key adds them
 * when it is exactly 1; Mute is always there. */
enum PartKind { SLOT_FAMILY, SWITCH_KEY, ALWAYS };

struct TablePart {
  PartKind kind;
  const char *key;
  uint32_t count;
  TableCommand commands[2];
};

/* The parts, in the order of the table. */
static const TablePart PARTS[] = {
    {SLOT_FAMILY,
     "UpDown",
     2,
     {{"VolumeUp(%d)", TEXT_CAPTION_UP, COMMAND_VOLUME_UP},
      {"VolumeDown(%d)", TEXT_CAPTION_DOWN, COMMAND_VOLUME_DOWN}}},
    {SLOT_FAMILY,
     "Set",
     1,
     {{"Set(%d)", TEXT_CAPTION_SET, COMMAND_SET_VOLUME}}},
    {ALWAYS, nullptr, 1, {{"Mute", TEXT_CAPTION_MUTE, COMMAND_MUTE}}},
    {SWITCH_KEY,
     "MuteOnOff",
     2,
     {{"MuteOn", TEXT_CAPTION_MUTE_ON, COMMAND_MUTE_ON},
      {"MuteOff", TEXT_CAPTION_MUTE_OFF, COMMAND_MUTE_OFF}}},
    {SWITCH_KEY,
     "MicMute",
     1,
     {{"MicMute", TEXT_CAPTION_MIC_MUTE, COMMAND_MIC_MUTE}}},
    {SWITCH_KEY,
     "MicMuteOnOff",
     2,
     {{"MicMuteOn", TEXT_CAPTION_MIC_MUTE_ON, COMMAND_MIC_MUTE_ON},
      {"MicMuteOff", TEXT_CAPTION_MIC_MUTE_OFF, COMMAND_MIC_MUTE_OFF}}},
    {SLOT_FAMILY,
     "AppUpDown",
     2,
     {{"AppVolumeUp(%d)", TEXT_CAPTION_APP_UP, COMMAND_APP_VOLUME_UP},
      {"AppVolumeDown(%d)", TEXT_CAPTION_APP_DOWN, COMMAND_APP_VOLUME_DOWN}}},
    {SLOT_FAMILY,
     "AppSet",
     1,
     {{"AppSet(%d)", TEXT_CAPTION_APP_SET, COMMAND_APP_SET_VOLUME}}},
    {SWITCH_KEY,
     "AppMute",
     1,
     {{"AppMute", TEXT_CAPTION_APP_MUTE, COMMAND_APP_MUTE}}},
    {SWITCH_KEY,
     "AppMuteOnOff",
     2,
     {{"AppMuteOn", TEXT_CAPTION_APP_MUTE_ON, COMMAND_APP_MUTE_ON},
      {"AppMuteOff", TEXT_CAPTION_APP_MUTE_OFF, COMMAND_APP_MUTE_OFF}}},
};
enum { PART_COUNT = sizeof PARTS / sizeof PARTS[0] };

/* The numbers a part adds its commands for, EMPTY_SLOT where none; a
 * switch or Mute that is on has the number 0 in its first slot. Returns
 * the commands the part adds. */
static uint32_t readPart(const char *path, const TablePart &part,
                         int32_t values[SLOTS]) {
  for (int k = 0; k < SLOTS; k++)
    values[k] = EMPTY_SLOT;
  if (part.kind != SLOT_FAMILY) {
    int on =
        part.kind == ALWAYS || settingInt(path, "Command", part.key, 0) == 1;
    values[0] = on ? 0 : EMPTY_SLOT;
    return on ? part.count : 0;
  }
  char key[16];
  size_t length = strlen(part.key);
  memcpy(key, part.key, length);
  key[length + 1] = '\0';
  uint32_t added = 0;
  for (int k = 0; k < SLOTS; k++) {
    key[length] = (char)('0' + k);
    int32_t value = settingInt(path, "Command", key, EMPTY_SLOT);
    values[k] = value >= 0 && value <= COMMAND_RANGE ? value : EMPTY_SLOT;
    added += values[k] != EMPTY_SLOT ? part.count : 0;
  }
  return added;
}

static CommandInfo *fillPart(CommandInfo *next, const TablePart &part,
                             const int32_t values[SLOTS]) {
  for (int k = 0; k < SLOTS; k++)
    for (uint32_t i = 0; values[k] != EMPTY_SLOT && i < part.count; i++) {
      const TableCommand &command = part.commands[i];
      fillCommand(next++, command.name, command.caption, values[k],
                  command.firstId + values[k]);
    }
  return next;
}

void buildCommandCatalogue(PluginInfo *info) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  int32_t values[PART_COUNT][SLOTS];
  uint32_t count = 0;
  for (int p = 0; p < PART_COUNT; p++)
    count += readPart(path, PARTS[p], values[p]);
  CommandInfo *commands =
      (CommandInfo *)platformAlloc(count * sizeof(CommandInfo));
  info->commandCount = commands ? count : 0;
  info->commands = commands;
  if (!commands)
    return;
  CommandInfo *next = commands;
  for (int p = 0; p < PART_COUNT; p++)
    next = fillPart(next, PARTS[p], values[p]);
}

void freeCommandCatalogue(PluginInfo *info) {
  CommandInfo *commands = info->commands;
  for (uint32_t i = 0; i < info->commandCount; i++) {
    platformFree(commands[i].name);
    platformFree(commands[i].caption);
  }
  platformFree(commands);
}
