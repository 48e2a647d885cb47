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

/* One command, decoded from its identifier by its family's row. */
struct CommandRequest {
  int32_t action; /* the family's own: a VolumeAction for a volume
                     command, a DeviceSwitchAction for a switch */
  /* What the action is given. A volume command's amount: VOLUME_STEP
   * -100..100, VOLUME_SET 0..100, VOLUME_SET_MUTE 1 mute on and 0 mute
   * off. A Next switch's direction (an AudioFlow). */
  int32_t argument;
  uint32_t slot; /* a text row's: which of its settings texts, 0..9 */
  const Settings *settings; /* read at KSTEvent_Init */
  int describe; /* the outcome will be shown: name what was changed */
};

/* Runs one command of a family; on success *outcome says what it left. */
typedef int (*CommandHandler)(const CommandRequest *request,
                              CommandOutcome *outcome);

#endif
