/*
 * The command families, one row each, in the order of the host's command
 * table. A row holds all there is to know of a family: the identifiers
 * the host hands back to KSTEvent_Execute (fixed numbers), the
 * [Command] key that offers it, its name and caption, the handler that
 * runs it and what the display shows of it. The command table
 * (plugin/catalogue.cpp), dispatch, the display, plughost, the tests, the
 * benchmark and the fuzzer all read these rows; none keeps a copy.
 */
#ifndef VOLUME_COMMAND_FAMILIES_H
#define VOLUME_COMMAND_FAMILIES_H

#include <cstddef>
#include <cstdint>

#include "command/texts.h"
#include "device_switch/device_switch.h"
#include "display/display.h"
#include "endpoint/endpoint.h"
#include "focused_app/focused_app.h"
#include "microphone/microphone.h"
#include "named_device/named_device.h"
#include "program/program.h"
#include "volume_commands/volume_commands.h"

/* How a family's [Command] key offers its commands. Rows that follow each
 * other with the same key are offered together: for each number of the
 * key, every such row's command, in row order. */
enum CommandKeyKind : uint8_t {
  KEY_NONE,   /* always offered */
  KEY_SWITCH, /* "<key>=1" offers it; any other value does not */
  /* "<key>0".."<key>9", each set to a number 0..COMMAND_RANGE, offers
   * the command for that number, in slot order */
  KEY_NUMBER_SLOTS,
  /* "<key>0".."<key>9", each holding a text, offers the command of that
   * slot (firstId + slot), its caption with the text for "%s" */
  KEY_TEXT_SLOTS,
  /* A text slot and a number slot of the same k (a SETTING_NUMBER_ROWS
   * row: "<key>k", and its texts' "<text>k"), both holding, offer the
   * command of that slot (firstId + k), its name with k for "%d", its
   * caption with the text for "%s" and the number for "%d" */
  KEY_TEXT_NUMBER_SLOTS
};

enum {
  COMMAND_RANGE = SETTING_NUMBER_MAX, /* the largest number of a slot */
  COMMAND_SLOTS = SETTING_TEXT_SLOTS  /* slots of a key */
};

/* Small fields, so that the table the library carries stays small. */
struct CommandFamily {
  const char *key;           /* the [Command] key, or the stem of its slots */
  const char *nameFormat;    /* ASCII; "%d" is the slot's number */
  const char *captionFormat; /* code page 932; "%d" as in the name, "%s"
                                the slot's text */
  CommandHandler run;
  /* The identifiers, and the command each one is: the handler gets the
   * action and argumentAtFirst + argumentPerId * (identifier - firstId)
   * (see CommandRequest: a volume row's amount, a Next row's direction);
   * a text row's slot is identifier - firstId. A number slot's n is the
   * command firstId + n. */
  int32_t firstId, lastId;
  CommandKeyKind keyKind;
  uint8_t action; /* the handler's own; a VolumeAction for volume ones */
  int8_t argumentAtFirst, argumentPerId;
  /* KEY_TEXT_NUMBER_SLOTS: the argument is argumentAtFirst +
   * argumentPerId * the slot's number where numberIsAmount, else as
   * above; the number slots are this row of SETTING_NUMBER_ROWS. */
  uint8_t numberIsAmount;
  SettingNumberId number;
  SettingTextId text; /* the texts of a text row; SETTING_TEXT_COUNT: none */
  DisplaySubject subject; /* what the display names after it took */
};

/* What a family acts on: the handler that runs its commands and what the
 * display names after one took. */
struct CommandTarget {
  CommandHandler run;
  DisplaySubject subject;
};

inline constexpr CommandTarget PLAYBACK = {runOnPlayback, DISPLAY_PLAYBACK};
inline constexpr CommandTarget MICROPHONES = {runOnMicrophones,
                                              DISPLAY_MICROPHONE};
inline constexpr CommandTarget FOCUSED_APP = {runOnFocusedApp,
                                              DISPLAY_APPLICATION};
inline constexpr CommandTarget OUTPUT_DEVICE = {runDeviceSwitch,
                                                DISPLAY_OUTPUT_DEVICE};
inline constexpr CommandTarget INPUT_DEVICE = {runDeviceSwitch,
                                               DISPLAY_INPUT_DEVICE};
inline constexpr CommandTarget HEADSET = {runDeviceSwitch, DISPLAY_HEADSET};
inline constexpr CommandTarget NAMED_OUTPUT = {runOnNamedOutput,
                                               DISPLAY_NAMED_DEVICE};
inline constexpr CommandTarget NAMED_INPUT = {runOnNamedInput,
                                              DISPLAY_NAMED_DEVICE};
inline constexpr CommandTarget PROGRAM = {runOnProgram, DISPLAY_PROGRAM};

/* The way a step row goes, and the three mute commands. */
enum StepDirection { STEP_UP = 1, STEP_DOWN = -1 };
enum MuteCommand { MUTE_TOGGLE, MUTE_ON, MUTE_OFF };

/* One maker per key kind, each naming what a row of its kind holds. */

/* What every row has; the action and its argument are the maker's. */
constexpr CommandFamily familyRow(const char *key, CommandKeyKind keyKind,
                                  const char *name, const char *caption,
                                  int32_t firstId, int32_t lastId,
                                  CommandTarget target) {
  CommandFamily row = {};
  row.key = key;
  row.keyKind = keyKind;
  row.nameFormat = name;
  row.captionFormat = caption;
  row.firstId = firstId;
  row.lastId = lastId;
  row.number = SETTING_NUMBER_COUNT;
  row.text = SETTING_TEXT_COUNT;
  row.run = target.run;
  row.subject = target.subject;
  return row;
}

/* "<key>0".."<key>9" = n offers the step of n, up or down: firstId + n. */
constexpr CommandFamily stepSlots(const char *key, const char *name,
                                  const char *caption, int32_t firstId,
                                  StepDirection direction,
                                  CommandTarget target) {
  CommandFamily row = familyRow(key, KEY_NUMBER_SLOTS, name, caption, firstId,
                                firstId + COMMAND_RANGE, target);
  row.action = VOLUME_STEP;
  row.argumentPerId = direction; /* the amount: +n or -n */
  return row;
}

/* "<key>0".."<key>9" = n offers the level n: firstId + n. */
constexpr CommandFamily levelSlots(const char *key, const char *name,
                                   const char *caption, int32_t firstId,
                                   CommandTarget target) {
  CommandFamily row = familyRow(key, KEY_NUMBER_SLOTS, name, caption, firstId,
                                firstId + COMMAND_RANGE, target);
  row.action = VOLUME_SET;
  row.argumentPerId = 1; /* the amount: n */
  return row;
}

/* A mute command, offered by "<key>=1" or, without a key, always. */
constexpr CommandFamily muteSwitch(const char *key, const char *name,
                                   const char *caption, int32_t id,
                                   MuteCommand mute, CommandTarget target) {
  CommandFamily row = familyRow(key, key ? KEY_SWITCH : KEY_NONE, name, caption,
                                id, id, target);
  row.action = mute == MUTE_TOGGLE ? VOLUME_TOGGLE_MUTE : VOLUME_SET_MUTE;
  row.argumentAtFirst = mute == MUTE_ON; /* the amount: 1 on, 0 off */
  return row;
}

/* "<key>=1" offers the switch to the next device of a direction. */
constexpr CommandFamily nextDevice(const char *key, const char *name,
                                   const char *caption, int32_t id,
                                   AudioFlow direction, CommandTarget target) {
  CommandFamily row = familyRow(key, KEY_SWITCH, name, caption, id, id, target);
  row.action = DEVICE_NEXT;
  row.argumentAtFirst = direction;
  return row;
}

/* "<text>0".."<text>9", each holding a device's name, offers the switch
 * to that device: firstId + slot. */
constexpr CommandFamily deviceByName(SettingTextId text, const char *name,
                                     const char *caption, int32_t firstId,
                                     DeviceSwitchAction action,
                                     CommandTarget target) {
  CommandFamily row =
      familyRow(SETTING_TEXT_ROWS[text].key, KEY_TEXT_SLOTS, name, caption,
                firstId, firstId + COMMAND_SLOTS - 1, target);
  row.action = action;
  row.text = text;
  return row;
}

/* A text slot with a number slot (the row of number): the step of the
 * slot's number, up or down, on what the slot's text names. */
constexpr CommandFamily namedSteps(SettingNumberId number, const char *name,
                                   const char *caption, int32_t firstId,
                                   StepDirection direction,
                                   CommandTarget target) {
  CommandFamily row =
      familyRow(SETTING_NUMBER_ROWS[number].key, KEY_TEXT_NUMBER_SLOTS, name,
                caption, firstId, firstId + COMMAND_SLOTS - 1, target);
  row.action = VOLUME_STEP;
  row.argumentPerId = direction; /* the amount: +n or -n */
  row.numberIsAmount = 1;
  row.number = number;
  row.text = SETTING_NUMBER_ROWS[number].text;
  return row;
}

/* The level of the slot's number, on what the slot's text names. */
constexpr CommandFamily namedLevel(SettingNumberId number, const char *name,
                                   const char *caption, int32_t firstId,
                                   CommandTarget target) {
  CommandFamily row =
      namedSteps(number, name, caption, firstId, STEP_UP, target);
  row.action = VOLUME_SET;
  return row;
}

/* The mute toggle of what the slot's text names, offered where the
 * slot's number is the switch's 1. */
constexpr CommandFamily namedMute(SettingNumberId number, const char *name,
                                  const char *caption, int32_t firstId,
                                  CommandTarget target) {
  CommandFamily row =
      namedSteps(number, name, caption, firstId, STEP_UP, target);
  row.action = VOLUME_TOGGLE_MUTE;
  row.argumentPerId = 0;
  row.numberIsAmount = 0;
  return row;
}

/* The identifiers are fixed: the host keeps them in its key bindings. */
/* One row a line, in columns. */
/* clang-format off */
inline constexpr CommandFamily COMMAND_FAMILIES[] = {
  stepSlots ("UpDown",       "VolumeUp(%d)",      TEXT_CAPTION_UP,          1000, STEP_UP,     PLAYBACK),
  stepSlots ("UpDown",       "VolumeDown(%d)",    TEXT_CAPTION_DOWN,        2000, STEP_DOWN,   PLAYBACK),
  levelSlots("Set",          "Set(%d)",           TEXT_CAPTION_SET,         3000,              PLAYBACK),
  muteSwitch(nullptr,        "Mute",              TEXT_CAPTION_MUTE,           1, MUTE_TOGGLE, PLAYBACK),
  muteSwitch("MuteOnOff",    "MuteOn",            TEXT_CAPTION_MUTE_ON,        2, MUTE_ON,     PLAYBACK),
  muteSwitch("MuteOnOff",    "MuteOff",           TEXT_CAPTION_MUTE_OFF,       3, MUTE_OFF,    PLAYBACK),
  muteSwitch("MicMute",      "MicMute",           TEXT_CAPTION_MIC_MUTE,      11, MUTE_TOGGLE, MICROPHONES),
  muteSwitch("MicMuteOnOff", "MicMuteOn",         TEXT_CAPTION_MIC_MUTE_ON,   12, MUTE_ON,     MICROPHONES),
  muteSwitch("MicMuteOnOff", "MicMuteOff",        TEXT_CAPTION_MIC_MUTE_OFF,  13, MUTE_OFF,    MICROPHONES),
  stepSlots ("AppUpDown",    "AppVolumeUp(%d)",   TEXT_CAPTION_APP_UP,      4000, STEP_UP,     FOCUSED_APP),
  stepSlots ("AppUpDown",    "AppVolumeDown(%d)", TEXT_CAPTION_APP_DOWN,    5000, STEP_DOWN,   FOCUSED_APP),
  levelSlots("AppSet",       "AppSet(%d)",        TEXT_CAPTION_APP_SET,     6000,              FOCUSED_APP),
  muteSwitch("AppMute",      "AppMute",           TEXT_CAPTION_APP_MUTE,      21, MUTE_TOGGLE, FOCUSED_APP),
  muteSwitch("AppMuteOnOff", "AppMuteOn",         TEXT_CAPTION_APP_MUTE_ON,   22, MUTE_ON,     FOCUSED_APP),
  muteSwitch("AppMuteOnOff", "AppMuteOff",        TEXT_CAPTION_APP_MUTE_OFF,  23, MUTE_OFF,    FOCUSED_APP),
  nextDevice("NextOutput",   "NextOutput",        TEXT_CAPTION_NEXT_OUTPUT,   31, AUDIO_RENDER,  OUTPUT_DEVICE),
  nextDevice("NextInput",    "NextInput",         TEXT_CAPTION_NEXT_INPUT,    32, AUDIO_CAPTURE, INPUT_DEVICE),
  deviceByName(SETTING_TEXT_OUTPUT, "OutputDevice(%d)", TEXT_CAPTION_OUTPUT_DEVICE, 7000, DEVICE_OUTPUT_BY_NAME,  OUTPUT_DEVICE),
  deviceByName(SETTING_TEXT_INPUT,  "InputDevice(%d)",  TEXT_CAPTION_INPUT_DEVICE,  7100, DEVICE_INPUT_BY_NAME,   INPUT_DEVICE),
  deviceByName(SETTING_TEXT_DEVICE, "Device(%d)",       TEXT_CAPTION_HEADSET,       7200, DEVICE_HEADSET_BY_NAME, HEADSET),
  stepSlots ("MicUpDown",    "MicVolumeUp(%d)",   TEXT_CAPTION_MIC_UP,      8000, STEP_UP,     MICROPHONES),
  stepSlots ("MicUpDown",    "MicVolumeDown(%d)", TEXT_CAPTION_MIC_DOWN,    9000, STEP_DOWN,   MICROPHONES),
  levelSlots("MicSet",       "MicSet(%d)",        TEXT_CAPTION_MIC_SET,    10000,              MICROPHONES),
  namedSteps(SETTING_NUMBER_OUTPUT_STEP, "OutputVolumeUp(%d)",   TEXT_CAPTION_NAMED_UP,   11000, STEP_UP,   NAMED_OUTPUT),
  namedSteps(SETTING_NUMBER_OUTPUT_STEP, "OutputVolumeDown(%d)", TEXT_CAPTION_NAMED_DOWN, 11100, STEP_DOWN, NAMED_OUTPUT),
  namedLevel(SETTING_NUMBER_OUTPUT_SET,  "OutputSet(%d)",        TEXT_CAPTION_NAMED_SET,  11200,            NAMED_OUTPUT),
  namedMute (SETTING_NUMBER_OUTPUT_MUTE, "OutputMute(%d)",       TEXT_CAPTION_NAMED_MUTE, 11300,            NAMED_OUTPUT),
  namedSteps(SETTING_NUMBER_INPUT_STEP,  "InputVolumeUp(%d)",    TEXT_CAPTION_NAMED_UP,   11400, STEP_UP,   NAMED_INPUT),
  namedSteps(SETTING_NUMBER_INPUT_STEP,  "InputVolumeDown(%d)",  TEXT_CAPTION_NAMED_DOWN, 11500, STEP_DOWN, NAMED_INPUT),
  namedLevel(SETTING_NUMBER_INPUT_SET,   "InputSet(%d)",         TEXT_CAPTION_NAMED_SET,  11600,            NAMED_INPUT),
  namedMute (SETTING_NUMBER_INPUT_MUTE,  "InputMute(%d)",        TEXT_CAPTION_NAMED_MUTE, 11700,            NAMED_INPUT),
  namedSteps(SETTING_NUMBER_PROGRAM_STEP, "ProgramVolumeUp(%d)",   TEXT_CAPTION_NAMED_UP,   12000, STEP_UP,   PROGRAM),
  namedSteps(SETTING_NUMBER_PROGRAM_STEP, "ProgramVolumeDown(%d)", TEXT_CAPTION_NAMED_DOWN, 12100, STEP_DOWN, PROGRAM),
  namedLevel(SETTING_NUMBER_PROGRAM_SET,  "ProgramSet(%d)",        TEXT_CAPTION_NAMED_SET,  12200,            PROGRAM),
  namedMute (SETTING_NUMBER_PROGRAM_MUTE, "ProgramMute(%d)",       TEXT_CAPTION_NAMED_MUTE, 12300,            PROGRAM),
};
/* clang-format on */

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
        ((row.keyKind == KEY_TEXT_SLOTS ||
          row.keyKind == KEY_TEXT_NUMBER_SLOTS) &&
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

/* How many identifiers the rows hold: those that reach a command. */
constexpr uint64_t commandIdCount(void) {
  uint64_t count = 0;
  for (const CommandFamily &row : COMMAND_FAMILIES)
    count += (uint64_t)((int64_t)row.lastId - row.firstId + 1);
  return count;
}

#endif
