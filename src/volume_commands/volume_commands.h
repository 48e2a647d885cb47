/*
 * The volume commands, written once over the operations of a volume
 * backend: the classic mixer (mixer/), the default playback endpoint
 * (endpoint/), the default recording devices (microphone/) or the focused
 * application's sessions (focused_app/). A backend acts on one target or
 * on several (devices, sessions), each reached by its index in the
 * backend's own context; it reads and writes a target's volume as a whole
 * percent and its mute switch as 0 or 1, and how it gets there is its own
 * affair. Every operation returns 1 for success and 0 for failure.
 */
#ifndef VOLUME_VOLUME_COMMANDS_H
#define VOLUME_VOLUME_COMMANDS_H

#include <cstdint>

#include "command/command.h"

struct VolumeBackend {
  int (*readPercent)(void *context, uint32_t index, uint32_t *percent);
  int (*writePercent)(void *context, uint32_t index, uint32_t percent);
  int (*readMute)(void *context, uint32_t index, uint32_t *muted);
  int (*writeMute)(void *context, uint32_t index, uint32_t muted);
  /* Looks at a target afresh after its mute was written: 0 only when it
   * shows the other state. Null where a write is its own proof. */
  int (*muteHolds)(void *context, uint32_t index, uint32_t muted);
};

/* What one command acts on. */
struct VolumeTarget {
  const VolumeBackend *backend;
  void *context;  /* the backend's own: what it holds for the command */
  uint32_t count; /* the targets in it, at least 1 */
  /* The settings that change how the rules below run (UnmuteOnChange);
   * null where they do not apply (the focused application's sessions). */
  const Settings *settings;
};

enum VolumeAction {
  VOLUME_TOGGLE_MUTE,
  VOLUME_STEP,
  VOLUME_SET,
  VOLUME_SET_MUTE
};

/* Reads every target's percent, moves the loudest by step, stops at 0 and
 * 100, writes the result to every target; *written is the level. */
int stepVolume(const VolumeTarget *target, int32_t step, uint32_t *written);
/* Reads the first target's mute and brings every target to its
 * opposite, which is *muted. */
int toggleMute(const VolumeTarget *target, uint32_t *muted);
/* Brings every target's mute switch to a state (any non-zero value is
 * on), writing only where a target is not in that state already. */
int setMute(const VolumeTarget *target, uint32_t muted);
/* Runs one command on every target; on success *outcome says what it
 * left. The amount, by action: VOLUME_STEP the step, -100..100 (negative
 * steps down); VOLUME_SET the level, 0..100; VOLUME_SET_MUTE 1 for on and
 * 0 for off; VOLUME_TOGGLE_MUTE none (0). Every target is tried, so that
 * one that refuses does not keep the others where they were; the result
 * says whether all of them took. */
int runVolumeCommand(const VolumeTarget *target, VolumeAction action,
                     int32_t amount, CommandOutcome *outcome);

#endif
