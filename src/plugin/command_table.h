/*
 * The commands, one row per family, in the order of the host's command
 * table. A row holds all there is to know of a family: the identifiers
 * the host hands back to KSTEvent_Execute (fixed numbers), the
 * [Command] key that offers it, its name and caption, the handler that
 * runs it and what the display shows of it. The command table, dispatch,
 * the display, plughost, the tests, the benchmark and the fuzzer all read
 * these rows; none keeps a copy.
 */
#ifndef VOLUME_COMMAND_TABLE_H
#define VOLUME_COMMAND_TABLE_H

#include <cstddef>
#include <cstdint>

#include "device_switch/device_switch.h"
#include "display/display.h"
#include "endpoint/endpoint.h"
#include "focused_app/focused_app.h"
#include "microphone/microphone.h"
#include "plugin/texts.h"
#include "volume_commands/volume_commands.h"

/* How a family's [Command] key offers its commands. Rows that follow each
 * other with the same key are offered together: for each number of the
 * key, every such row's command, in row order. */
enum CommandKeyKind {
  KEY_NONE,   /* always offered */
  KEY_SWITCH, /* "<key>=1" offers it; any other value does not */
  /* "<key>0".."<key>9", each set to a number 0..COMMAND_RANGE, offers
   * the command for that number, in slot order */
  KEY_NUMBER_SLOTS,
  /* "<key>0".."<key>9", each holding a text, offers the command of that
   * slot (firstId + slot), its caption with the text for "%s" */
  KEY_TEXT_SLOTS
};

enum {
  COMMAND_RANGE = 100, /* the largest number of a slot */
  COMMAND_SLOTS = 10   /* slots of a KEY_NUMBER_SLOTS key */
};

struct CommandFamily {
  const char *key; /* the [Command] key, or the stem of its slots */
  CommandKeyKind keyKind;
  const char *nameFormat;    /* ASCII; "%d" is the slot's number */
  const char *captionFormat; /* code page 932; "%d" as in the name, "%s"
                                the slot's text */
  /* The identifiers, and the command each one is: the handler gets the
   * action and amountAtFirst + amountPerId * (identifier - firstId). A
   * slot's number n is the command firstId + n. */
  int32_t firstId, lastId;
  int32_t action; /* the handler's own; a VolumeAction for volume ones */
  int32_t amountAtFirst, amountPerId;
  CommandHandler run;
  DisplaySubject subject; /* what the display names after it took */
};

/* The identifiers are fixed: the host keeps them in its key bindings. */
inline constexpr CommandFamily COMMAND_FAMILIES[] = {
    {"UpDown", KEY_NUMBER_SLOTS, "VolumeUp(%d)", TEXT_CAPTION_UP, 1000, 1100,
     VOLUME_STEP, 0, 1, runOnPlayback, DISPLAY_PLAYBACK},
    {"UpDown", KEY_NUMBER_SLOTS, "VolumeDown(%d)", TEXT_CAPTION_DOWN, 2000,
     2100, VOLUME_STEP, 0, -1, runOnPlayback, DISPLAY_PLAYBACK},
    {"Set", KEY_NUMBER_SLOTS, "Set(%d)", TEXT_CAPTION_SET, 3000, 3100,
     VOLUME_SET, 0, 1, runOnPlayback, DISPLAY_PLAYBACK},
    {nullptr, KEY_NONE, "Mute", TEXT_CAPTION_MUTE, 1, 1, VOLUME_TOGGLE_MUTE, 0,
     0, runOnPlayback, DISPLAY_PLAYBACK},
    {"MuteOnOff", KEY_SWITCH, "MuteOn", TEXT_CAPTION_MUTE_ON, 2, 2,
     VOLUME_SET_MUTE, 1, 0, runOnPlayback, DISPLAY_PLAYBACK},
    {"MuteOnOff", KEY_SWITCH, "MuteOff", TEXT_CAPTION_MUTE_OFF, 3, 3,
     VOLUME_SET_MUTE, 0, 0, runOnPlayback, DISPLAY_PLAYBACK},
    {"MicMute", KEY_SWITCH, "MicMute", TEXT_CAPTION_MIC_MUTE, 11, 11,
     VOLUME_TOGGLE_MUTE, 0, 0, runOnMicrophones, DISPLAY_MICROPHONE},
    {"MicMuteOnOff", KEY_SWITCH, "MicMuteOn", TEXT_CAPTION_MIC_MUTE_ON, 12, 12,
     VOLUME_SET_MUTE, 1, 0, runOnMicrophones, DISPLAY_MICROPHONE},
    {"MicMuteOnOff", KEY_SWITCH, "MicMuteOff", TEXT_CAPTION_MIC_MUTE_OFF, 13,
     13, VOLUME_SET_MUTE, 0, 0, runOnMicrophones, DISPLAY_MICROPHONE},
    {"AppUpDown", KEY_NUMBER_SLOTS, "AppVolumeUp(%d)", TEXT_CAPTION_APP_UP,
     4000, 4100, VOLUME_STEP, 0, 1, runOnFocusedApp, DISPLAY_APPLICATION},
    {"AppUpDown", KEY_NUMBER_SLOTS, "AppVolumeDown(%d)", TEXT_CAPTION_APP_DOWN,
     5000, 5100, VOLUME_STEP, 0, -1, runOnFocusedApp, DISPLAY_APPLICATION},
    {"AppSet", KEY_NUMBER_SLOTS, "AppSet(%d)", TEXT_CAPTION_APP_SET, 6000, 6100,
     VOLUME_SET, 0, 1, runOnFocusedApp, DISPLAY_APPLICATION},
    {"AppMute", KEY_SWITCH, "AppMute", TEXT_CAPTION_APP_MUTE, 21, 21,
     VOLUME_TOGGLE_MUTE, 0, 0, runOnFocusedApp, DISPLAY_APPLICATION},
    {"AppMuteOnOff", KEY_SWITCH, "AppMuteOn", TEXT_CAPTION_APP_MUTE_ON, 22, 22,
     VOLUME_SET_MUTE, 1, 0, runOnFocusedApp, DISPLAY_APPLICATION},
    {"AppMuteOnOff", KEY_SWITCH, "AppMuteOff", TEXT_CAPTION_APP_MUTE_OFF, 23,
     23, VOLUME_SET_MUTE, 0, 0, runOnFocusedApp, DISPLAY_APPLICATION},
    {"NextOutput", KEY_SWITCH, "NextOutput", TEXT_CAPTION_NEXT_OUTPUT, 31, 31,
     DEVICE_NEXT, AUDIO_RENDER, 0, runDeviceSwitch, DISPLAY_OUTPUT_DEVICE},
    {"NextInput", KEY_SWITCH, "NextInput", TEXT_CAPTION_NEXT_INPUT, 32, 32,
     DEVICE_NEXT, AUDIO_CAPTURE, 0, runDeviceSwitch, DISPLAY_INPUT_DEVICE},
    {SETTING_TEXT_ROWS[SETTING_TEXT_OUTPUT].key, KEY_TEXT_SLOTS,
     "OutputDevice(%d)", TEXT_CAPTION_OUTPUT_DEVICE, 7000, 7009,
     DEVICE_OUTPUT_BY_NAME, 0, 1, runDeviceSwitch, DISPLAY_OUTPUT_DEVICE},
    {SETTING_TEXT_ROWS[SETTING_TEXT_INPUT].key, KEY_TEXT_SLOTS,
     "InputDevice(%d)", TEXT_CAPTION_INPUT_DEVICE, 7100, 7109,
     DEVICE_INPUT_BY_NAME, 0, 1, runDeviceSwitch, DISPLAY_INPUT_DEVICE},
    {SETTING_TEXT_ROWS[SETTING_TEXT_DEVICE].key, KEY_TEXT_SLOTS, "Device(%d)",
     TEXT_CAPTION_HEADSET, 7200, 7209, DEVICE_HEADSET_BY_NAME, 0, 1,
     runDeviceSwitch, DISPLAY_HEADSET},
};

enum {
  COMMAND_FAMILY_COUNT = sizeof COMMAND_FAMILIES / sizeof COMMAND_FAMILIES[0]
};

/* No identifier in two rows, or its meaning would be left to the order
 * dispatch reads the rows in; a slot's every number has its identifier. */
constexpr bool commandFamiliesAreSound(void) {
  for (size_t i = 0; i < COMMAND_FAMILY_COUNT; i++) {
    const CommandFamily &row = COMMAND_FAMILIES[i];
    if (row.lastId < row.firstId ||
        (row.keyKind == KEY_NUMBER_SLOTS &&
         row.lastId - row.firstId != COMMAND_RANGE) ||
        (row.keyKind == KEY_TEXT_SLOTS &&
         row.lastId - row.firstId != COMMAND_SLOTS - 1))
      return false;
    for (size_t k = 0; k < i; k++)
      if (row.firstId <= COMMAND_FAMILIES[k].lastId &&
          COMMAND_FAMILIES[k].firstId <= row.lastId)
        return false;
  }
  return true;
}
static_assert(commandFamiliesAreSound(), "command identifier rows overlap");

/* The row that holds id, or null. In unsigned arithmetic an identifier
 * below a row's first one is far beyond its last, and nothing overflows. */
constexpr const CommandFamily *familyOfId(int64_t id) {
  for (const CommandFamily &row : COMMAND_FAMILIES)
    if ((uint64_t)(id - row.firstId) <=
        (uint64_t)((int64_t)row.lastId - row.firstId))
      return &row;
  return nullptr;
}

/* Whether some row holds id. */
constexpr bool isCommandId(int64_t id) { return familyOfId(id) != nullptr; }

#endif
