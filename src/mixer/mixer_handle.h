/*
 * The one handle of mixer device 0, shared by the volume and mute
 * controls, and what the mixer sources share: the one record of the
 * module's state, and the one place where the platform's MMRESULT codes
 * become the plug-in's success flag.
 */
#ifndef VOLUME_MIXER_HANDLE_H
#define VOLUME_MIXER_HANDLE_H

#include "command/command_failure.h"
#include "platform/platform.h"

static const uint32_t MAX_CHANNELS = 10;

/* A control id of all bits set: the control has not been found yet. */
static const uint32_t NOT_DISCOVERED = 0xFFFFFFFFu;

/* Everything the module keeps between commands. It starts as
 * MIXER_STATE_UNUSED and goes back to it, whole, when the mixer is
 * released. */
struct MixerState {
  MixerHandle handle;  /* mixer device 0, 0 until opened */
  MixerCaps caps;      /* filled at the open; not consulted afterwards */
  MixerControl volume; /* the chosen line's volume and its bounds */
  uint32_t channels;   /* that line's channels, at most MAX_CHANNELS */
  /* The channel levels of the last write whose read was not all silence,
   * and the loudest of them. The peak is never 0 once discovery has run. */
  uint32_t balanceLevels[MAX_CHANNELS];
  uint32_t balancePeak;
  MixerControl mute; /* the speakers line's mute switch */
};

static const MixerState MIXER_STATE_UNUSED = {
    0, {}, {NOT_DISCOVERED, 0, 0, 0}, 0, {}, 0, {NOT_DISCOVERED, 0, 0, 0}};

extern MixerState mixerState;

/* 1 for MMSYSERR_NOERROR, 0 for every error code. */
static inline int mixerSucceeded(MixerResult result) { return result == 0; }

/* The same, saying why the command fails where the mixer refused. */
static inline int mixerTook(MixerResult result, CommandFailure why) {
  if (mixerSucceeded(result))
    return 1;
  commandFails(why, nullptr, result);
  return 0;
}

/* Opens the mixer if need be, then finds the first line of a component
 * type and that line's control of a control type. */
int findLineControl(uint32_t componentType, uint32_t controlType,
                    MixerLine *line, MixerControl *control);

/* Opens mixer device 0 unless it is open already. */
int openMixer(void);

/* Closes the mixer and forgets every control found, so that the next
 * command starts as the first one after loading did. */
void releaseMixer(void);

#endif
