/*
 * A device named by the settings file ("Output"k, "Input"k): its own
 * volume and mute, default or not (Windows Vista and later, through Core
 * Audio whatever VolEndpoint says). The default device is often a
 * virtual one whose volume changes nothing the user hears.
 */
#ifndef VOLUME_NAMED_DEVICE_H
#define VOLUME_NAMED_DEVICE_H

#include "command/command.h"

/* Runs one volume command on the first active playback (recording)
 * device whose friendly name holds the request's slot's Output (Input)
 * text, matched as a device switch matches it. UnmuteOnChange=1 lifts a
 * playback device's mute on a level change, never a recording device's.
 * No such device, an empty slot, no Core Audio: 0, nothing changed. The
 * outcome names the device. */
int runOnNamedOutput(const CommandRequest *request, CommandOutcome *outcome);
int runOnNamedInput(const CommandRequest *request, CommandOutcome *outcome);

#endif
