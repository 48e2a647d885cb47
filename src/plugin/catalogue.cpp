/*
 * The command table, built from the "Command" section of the settings file:
 * ten step slots "UpDown0".."UpDown9" that each give a volume-up and a
 * volume-down command, ten level slots "Set0".."Set9", mute, and the
 * commands that keys switched on with 1 add after it.
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

/* Commands a key of the "Command" section offers, after Mute, in this
 * order, when its value is exactly 1. */
struct SwitchCommand {
  const char *name;
  const char *caption;
  int32_t commandId;
};
struct SwitchKey {
  const char *key;
  uint32_t count;
  SwitchCommand commands[2];
};
static const SwitchKey SWITCH_KEYS[] = {
    {"MuteOnOff",
     2,
     {{"MuteOn", TEXT_CAPTION_MUTE_ON, COMMAND_MUTE_ON},
      {"MuteOff", TEXT_CAPTION_MUTE_OFF, COMMAND_MUTE_OFF}}},
    {"MicMute", 1, {{"MicMute", TEXT_CAPTION_MIC_MUTE, COMMAND_MIC_MUTE}}},
    {"MicMuteOnOff",
     2,
     {{"MicMuteOn", TEXT_CAPTION_MIC_MUTE_ON, COMMAND_MIC_MUTE_ON},
      {"MicMuteOff", TEXT_CAPTION_MIC_MUTE_OFF, COMMAND_MIC_MUTE_OFF}}},
};
enum { SWITCH_KEY_COUNT = sizeof SWITCH_KEYS / sizeof SWITCH_KEYS[0] };

/* Which switch keys are on; the commands they add. */
static uint32_t readSwitches(const char *path, int on[SWITCH_KEY_COUNT]) {
  uint32_t count = 0;
  for (int k = 0; k < SWITCH_KEY_COUNT; k++) {
    on[k] = settingInt(path, "Command", SWITCH_KEYS[k].key, 0) == 1;
    count += on[k] ? SWITCH_KEYS[k].count : 0;
  }
  return count;
}

static CommandInfo *fillSwitches(CommandInfo *next,
                                 const int on[SWITCH_KEY_COUNT]) {
  for (int k = 0; k < SWITCH_KEY_COUNT; k++)
    for (uint32_t i = 0; on[k] && i < SWITCH_KEYS[k].count; i++) {
      const SwitchCommand &command = SWITCH_KEYS[k].commands[i];
      fillCommand(next++, command.name, command.caption, 0, command.commandId);
    }
  return next;
}

void buildCommandCatalogue(PluginInfo *info) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  int32_t steps[SLOTS], levels[SLOTS];
  int switches[SWITCH_KEY_COUNT];
  uint32_t count = 1 + 2 * (uint32_t)readSlots(path, "UpDown", steps) +
                   (uint32_t)readSlots(path, "Set", levels) +
                   readSwitches(path, switches);
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
  fillCommand(next++, "Mute", TEXT_CAPTION_MUTE, 0, COMMAND_MUTE);
  fillSwitches(next, switches);
}

void freeCommandCatalogue(PluginInfo *info) {
  CommandInfo *commands = info->commands;
  for (uint32_t i = 0; i < info->commandCount; i++) {
    platformFree(commands[i].name);
    platformFree(commands[i].caption);
  }
  platformFree(commands);
}
