/*
 * The contract between the command table and the families that run its
 * commands: what a command asks (CommandRequest), the handler that runs
 * it, and what it leaves behind for the display (CommandOutcome).
 */
#ifndef VOLUME_COMMAND_H
#define VOLUME_COMMAND_H

#include <cstdint>

#include "command/command_settings.h"

enum { OUTCOME_NAME_SIZE = 40 };

/* What a command that took left behind, for the on-screen display. */
struct CommandOutcome {
  uint32_t showsLevel; /* 1: a level was written; 0: a mute state brought */
  uint32_t percent;    /* the level written */
  uint32_t muted;      /* the mute state brought */
  uint16_t name[OUTCOME_NAME_SIZE]; /* what was changed, UTF-16, where the
                                       command names it; empty: none */
};

/* Names what a command changed (a UTF-16 name, cut to fit): a cut
 * between the two halves of a surrogate pair leaves no half. */
static inline void nameOutcome(CommandOutcome *outcome, const uint16_t *name) {
  uint32_t i = 0;
  for (; name[i] != 0 && i + 1 < OUTCOME_NAME_SIZE; i++)
    outcome->name[i] = name[i];
  if (name[i] != 0 && i > 0 && (outcome->name[i - 1] & 0xFC00) == 0xD800)
    i--;
  outcome->name[i] = 0;
}

/* One command, decoded from its identifier by its family's row. */
struct CommandRequest {
  int32_t action; /* the family's own: a VolumeAction for a volume
                     command, a DeviceSwitchAction for a switch */
  /* What the action is given, by the kind of row (command_families.h):
   * a step's amount, -100..100 (up or down by that much); a level's,
   * 0..100; a mute switch's, 1 on and 0 off; the mute toggle's, 0 and
   * unused; a Next row's direction, an AudioFlow. A named device's or a
   * program's step or level takes its amount from the number slot of its text
   * slot. */
  int32_t argument;
  uint32_t slot; /* a text row's: which of its settings texts, 0..9 */
  const Settings *settings; /* read at KSTEvent_Init */
  int describe; /* the outcome will be shown: name what was changed */
};

/* Runs one command of a family; on success *outcome says what it left. */
typedef int (*CommandHandler)(const CommandRequest *request,
                              CommandOutcome *outcome);

#endif
