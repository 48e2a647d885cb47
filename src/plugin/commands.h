/*
 * Command identifiers. The host gets them in the command table and hands
 * one back to KSTEvent_Execute; the numbers are fixed.
 */
#ifndef VOLUME_COMMANDS_H
#define VOLUME_COMMANDS_H

#include <cstdint>

enum {
  COMMAND_MUTE = 1,
  COMMAND_VOLUME_UP = 1000,   /* + step, 0..100 */
  COMMAND_VOLUME_DOWN = 2000, /* + step, 0..100 */
  COMMAND_SET_VOLUME = 3000,  /* + percent, 0..100 */
  COMMAND_RANGE = 100
};

/* Runs one command; 1 on success (and the taskbar clock is told), else 0. */
int dispatchCommand(int32_t commandId);

#endif
