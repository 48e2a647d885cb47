/*
 * The [Setting]s that change how commands run, in one table: where each
 * is written in the settings file, its value when missing, and the one
 * value that turns a switch on. KSTEvent_Init reads them all once into a
 * Settings record that every command is handed; plughost, the tests and
 * the fuzzer read the same table.
 */
#ifndef VOLUME_COMMAND_SETTINGS_H
#define VOLUME_COMMAND_SETTINGS_H

#include <cstddef>
#include <cstdint>

enum SettingId {
  SETTING_COMPONENT_TYPE, /* the mixer line of the volume commands */
  SETTING_ENDPOINT,       /* 1: the default playback endpoint, not the mixer */
  SETTING_UNMUTE_ON_CHANGE, /* 1: a volume change also lifts the mute */
  SETTING_DISPLAY,          /* 1: the on-screen display shows what changed */
  SETTING_NEXT_NAMED_ONLY,  /* 1: Next cycles among the named devices */
  SETTING_SWITCH_COMMUNICATIONS, /* 1: a switch moves the communications
                                    default always */
  SETTING_COUNT
};

/* A value that is not a switch has no value that turns it on. */
enum { NOT_A_SWITCH = INT32_MIN };

struct SettingRow {
  SettingId id;
  const char *section;
  const char *key;
  int32_t whenMissing;
  int32_t onValue; /* the only value that turns it on; NOT_A_SWITCH */
};

/* In SettingId order. VolComponentType is taken as the profile reader
 * gives it: the mixer maps every value it does not know to the speakers.
 * A switch is on for exactly its on-value, so that "2" or "yes" leaves
 * it off. */
inline constexpr SettingRow SETTING_ROWS[SETTING_COUNT] = {
    {SETTING_COMPONENT_TYPE, "Setting", "VolComponentType", 4, NOT_A_SWITCH},
    {SETTING_ENDPOINT, "Setting", "VolEndpoint", 0, 1},
    {SETTING_UNMUTE_ON_CHANGE, "Setting", "UnmuteOnChange", 0, 1},
    {SETTING_DISPLAY, "Setting", "Osd", 0, 1},
    {SETTING_NEXT_NAMED_ONLY, "Setting", "NextNamedOnly", 0, 1},
    {SETTING_SWITCH_COMMUNICATIONS, "Setting", "SwitchCommunications", 0, 1},
};

/* The texts commands take from the settings file: ten slots
 * "<key>0".."<key>9" each, as bytes of the ANSI code page (Shift_JIS on a
 * Japanese Windows), cut to SETTING_TEXT_SIZE - 1 bytes without splitting
 * a double-byte character. The command table offers a command for each
 * slot that holds a text. */
enum SettingTextId : uint8_t {
  SETTING_TEXT_OUTPUT,  /* a playback device's name, or part of it */
  SETTING_TEXT_INPUT,   /* a recording device's */
  SETTING_TEXT_DEVICE,  /* a headset's: both directions', or the playback
                           device's and the recording device's with "|"
                           between them */
  SETTING_TEXT_PROGRAM, /* executables' file names, "|" between them */
  SETTING_TEXT_COUNT
};

enum { SETTING_TEXT_SLOTS = 10, SETTING_TEXT_SIZE = 64 };

/* A lead byte of code page 932: the first of a double-byte character,
 * whose second byte may be one that stands alone for "|" or a letter
 * (0x40..0x7E: the "po" of "ポータブル" ends in 0x7C). */
static inline int isCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

struct SettingTextRow {
  SettingTextId id;
  const char *section;
  const char *key; /* the stem of its slots */
};

inline constexpr SettingTextRow SETTING_TEXT_ROWS[SETTING_TEXT_COUNT] = {
    {SETTING_TEXT_OUTPUT, "Command", "Output"},
    {SETTING_TEXT_INPUT, "Command", "Input"},
    {SETTING_TEXT_DEVICE, "Command", "Device"},
    {SETTING_TEXT_PROGRAM, "Command", "Program"},
};

/* The numbers that go with a text slot: "<key>0".."<key>9", each the
 * number of the command of the text slot of the same k (a named device's
 * or program's step or level), or the switch that offers its mute. The command
 * table offers a slot's command only where both its text and its number hold.
 */
enum SettingNumberId : uint8_t {
  SETTING_NUMBER_OUTPUT_STEP, /* a named playback device's step */
  SETTING_NUMBER_OUTPUT_SET,  /* its level */
  SETTING_NUMBER_OUTPUT_MUTE, /* 1: offers its mute */
  SETTING_NUMBER_INPUT_STEP,  /* the same for a recording device */
  SETTING_NUMBER_INPUT_SET,
  SETTING_NUMBER_INPUT_MUTE,
  SETTING_NUMBER_PROGRAM_STEP, /* a program's step, by its names */
  SETTING_NUMBER_PROGRAM_SET,  /* its level */
  SETTING_NUMBER_PROGRAM_MUTE, /* 1: offers its mute */
  SETTING_NUMBER_COUNT
};

enum SettingNumberKind {
  NUMBER_AMOUNT, /* 0..SETTING_NUMBER_MAX, as the number slots take them */
  NUMBER_SWITCH  /* exactly 1 */
};

enum { SETTING_NUMBER_MAX = 100, NO_NUMBER = -1 };

struct SettingNumberRow {
  SettingNumberId id;
  const char *section;
  const char *key;    /* the stem of its slots */
  SettingTextId text; /* the texts its slots go with */
  SettingNumberKind kind;
};

inline constexpr SettingNumberRow SETTING_NUMBER_ROWS[SETTING_NUMBER_COUNT] = {
    {SETTING_NUMBER_OUTPUT_STEP, "Command", "OutputUpDown", SETTING_TEXT_OUTPUT,
     NUMBER_AMOUNT},
    {SETTING_NUMBER_OUTPUT_SET, "Command", "OutputSet", SETTING_TEXT_OUTPUT,
     NUMBER_AMOUNT},
    {SETTING_NUMBER_OUTPUT_MUTE, "Command", "OutputMute", SETTING_TEXT_OUTPUT,
     NUMBER_SWITCH},
    {SETTING_NUMBER_INPUT_STEP, "Command", "InputUpDown", SETTING_TEXT_INPUT,
     NUMBER_AMOUNT},
    {SETTING_NUMBER_INPUT_SET, "Command", "InputSet", SETTING_TEXT_INPUT,
     NUMBER_AMOUNT},
    {SETTING_NUMBER_INPUT_MUTE, "Command", "InputMute", SETTING_TEXT_INPUT,
     NUMBER_SWITCH},
    {SETTING_NUMBER_PROGRAM_STEP, "Command", "ProgramUpDown",
     SETTING_TEXT_PROGRAM, NUMBER_AMOUNT},
    {SETTING_NUMBER_PROGRAM_SET, "Command", "ProgramSet", SETTING_TEXT_PROGRAM,
     NUMBER_AMOUNT},
    {SETTING_NUMBER_PROGRAM_MUTE, "Command", "ProgramMute",
     SETTING_TEXT_PROGRAM, NUMBER_SWITCH},
};

/* Whether a value read for a number slot offers its command. */
static inline int numberOffers(SettingNumberKind kind, int32_t value) {
  return kind == NUMBER_SWITCH ? value == 1
                               : value >= 0 && value <= SETTING_NUMBER_MAX;
}

constexpr bool settingRowsInOrder(void) {
  for (size_t i = 0; i < SETTING_COUNT; i++)
    if (SETTING_ROWS[i].id != (SettingId)i)
      return false;
  return true;
}
static_assert(settingRowsInOrder(), "SETTING_ROWS out of SettingId order");

constexpr bool settingTextRowsInOrder(void) {
  for (size_t i = 0; i < SETTING_TEXT_COUNT; i++)
    if (SETTING_TEXT_ROWS[i].id != (SettingTextId)i)
      return false;
  return true;
}
static_assert(settingTextRowsInOrder(), "SETTING_TEXT_ROWS out of order");

constexpr bool settingNumberRowsInOrder(void) {
  for (size_t i = 0; i < SETTING_NUMBER_COUNT; i++)
    if (SETTING_NUMBER_ROWS[i].id != (SettingNumberId)i)
      return false;
  return true;
}
static_assert(settingNumberRowsInOrder(), "SETTING_NUMBER_ROWS out of order");

/* The values read; all 0 before KSTEvent_Init, as nothing was read. */
struct Settings {
  int32_t values[SETTING_COUNT];
  char texts[SETTING_TEXT_COUNT][SETTING_TEXT_SLOTS][SETTING_TEXT_SIZE];
  int32_t numbers[SETTING_NUMBER_COUNT][SETTING_TEXT_SLOTS]; /* as read */
};

static inline int32_t settingValue(const Settings *settings, SettingId id) {
  return settings->values[id];
}

static inline int settingOn(const Settings *settings, SettingId id) {
  return settings->values[id] == SETTING_ROWS[id].onValue;
}

/* A slot's text; empty where the slot holds none. */
static inline const char *settingText(const Settings *settings,
                                      SettingTextId id, uint32_t slot) {
  return slot < SETTING_TEXT_SLOTS ? settings->texts[id][slot] : "";
}

/* A slot's number where it offers its command, else NO_NUMBER. */
static inline int32_t settingNumber(const Settings *settings,
                                    SettingNumberId id, uint32_t slot) {
  if (slot >= SETTING_TEXT_SLOTS)
    return NO_NUMBER;
  int32_t value = settings->numbers[id][slot];
  return numberOffers(SETTING_NUMBER_ROWS[id].kind, value) ? value : NO_NUMBER;
}

#endif
