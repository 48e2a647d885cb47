/*
 * The command identifiers, in one table. The host gets identifiers in the
 * command table and hands one back to KSTEvent_Execute, so the numbers are
 * fixed. Dispatch decodes an identifier by these rows; the command table
 * takes its identifiers from the constants below, and the tests, the
 * benchmark and the fuzzer walk the rows rather than keep copies.
 */
#ifndef VOLUME_COMMAND_IDS_H
#define VOLUME_COMMAND_IDS_H

#include <cstddef>
#include <cstdint>

#include "volume_commands/volume_commands.h"

/* The first identifier of each row, as the command table names them. */
enum : int32_t {
  COMMAND_MUTE = 1,
  COMMAND_MUTE_ON = 2,
  COMMAND_MUTE_OFF = 3,
  COMMAND_MIC_MUTE = 11,
  COMMAND_MIC_MUTE_ON = 12,
  COMMAND_MIC_MUTE_OFF = 13,
  COMMAND_APP_MUTE = 21,
  COMMAND_APP_MUTE_ON = 22,
  COMMAND_APP_MUTE_OFF = 23,
  COMMAND_VOLUME_UP = 1000,       /* + step */
  COMMAND_VOLUME_DOWN = 2000,     /* + step */
  COMMAND_SET_VOLUME = 3000,      /* + percent */
  COMMAND_APP_VOLUME_UP = 4000,   /* + step */
  COMMAND_APP_VOLUME_DOWN = 5000, /* + step */
  COMMAND_APP_SET_VOLUME = 6000,  /* + percent */
  COMMAND_RANGE = 100             /* the largest step or percent */
};

/* What a command acts on. */
enum CommandTarget {
  /* The volume the settings choose: with VolEndpoint=1 the default
   * playback endpoint, otherwise the VolComponentType line of mixer
   * device 0 (and for mute its speakers line). */
  TARGET_PLAYBACK,
  /* The default recording devices for the console and communications
   * roles, through Core Audio whatever the settings say. */
  TARGET_MICROPHONE,
  /* The audio sessions of the application whose window is in the
   * foreground, through Core Audio whatever the settings say. */
  TARGET_FOCUSED_APP
};

/* Each identifier from first to last runs action on target, with the
 * amount amountAtFirst + amountPerId * (identifier - first). */
struct CommandIdRow {
  int32_t first, last;
  VolumeAction action;
  int32_t amountAtFirst, amountPerId;
  CommandTarget target;
};

/* In ascending order, no identifier in two rows. */
inline constexpr CommandIdRow COMMAND_ID_ROWS[] = {
    {COMMAND_MUTE, COMMAND_MUTE, VOLUME_TOGGLE_MUTE, 0, 0, TARGET_PLAYBACK},
    /* On, then off: the amount is the mute asked for. */
    {COMMAND_MUTE_ON, COMMAND_MUTE_OFF, VOLUME_SET_MUTE, 1, -1,
     TARGET_PLAYBACK},
    {COMMAND_MIC_MUTE, COMMAND_MIC_MUTE, VOLUME_TOGGLE_MUTE, 0, 0,
     TARGET_MICROPHONE},
    {COMMAND_MIC_MUTE_ON, COMMAND_MIC_MUTE_OFF, VOLUME_SET_MUTE, 1, -1,
     TARGET_MICROPHONE},
    {COMMAND_APP_MUTE, COMMAND_APP_MUTE, VOLUME_TOGGLE_MUTE, 0, 0,
     TARGET_FOCUSED_APP},
    {COMMAND_APP_MUTE_ON, COMMAND_APP_MUTE_OFF, VOLUME_SET_MUTE, 1, -1,
     TARGET_FOCUSED_APP},
    {COMMAND_VOLUME_UP, COMMAND_VOLUME_UP + COMMAND_RANGE, VOLUME_STEP, 0, 1,
     TARGET_PLAYBACK},
    {COMMAND_VOLUME_DOWN, COMMAND_VOLUME_DOWN + COMMAND_RANGE, VOLUME_STEP, 0,
     -1, TARGET_PLAYBACK},
    {COMMAND_SET_VOLUME, COMMAND_SET_VOLUME + COMMAND_RANGE, VOLUME_SET, 0, 1,
     TARGET_PLAYBACK},
    {COMMAND_APP_VOLUME_UP, COMMAND_APP_VOLUME_UP + COMMAND_RANGE, VOLUME_STEP,
     0, 1, TARGET_FOCUSED_APP},
    {COMMAND_APP_VOLUME_DOWN, COMMAND_APP_VOLUME_DOWN + COMMAND_RANGE,
     VOLUME_STEP, 0, -1, TARGET_FOCUSED_APP},
    {COMMAND_APP_SET_VOLUME, COMMAND_APP_SET_VOLUME + COMMAND_RANGE, VOLUME_SET,
     0, 1, TARGET_FOCUSED_APP},
};

constexpr bool commandIdRowsAscend(void) {
  const CommandIdRow *rows = COMMAND_ID_ROWS;
  for (size_t i = 0; i < sizeof COMMAND_ID_ROWS / sizeof rows[0]; i++)
    if (rows[i].last < rows[i].first ||
        (i > 0 && rows[i].first <= rows[i - 1].last))
      return false;
  return true;
}
/* A row that overlaps another would leave its identifiers' meaning to
 * the order dispatch reads the rows in. */
static_assert(commandIdRowsAscend(), "command identifier rows out of order");

/* Whether some row holds id: the plain reading, for the tests, the
 * benchmark and the fuzzer to hold dispatch's own search against. */
constexpr bool isCommandId(int64_t id) {
  for (const CommandIdRow &row : COMMAND_ID_ROWS)
    if (id >= row.first && id <= row.last)
      return true;
  return false;
}

#endif
