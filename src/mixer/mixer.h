/*
 * Volume and mute of mixer device 0.
 *
 * The mixer is opened by the first command and stays open until the host
 * unloads the plug-in; the volume and mute controls are looked up once and
 * then reused. Every operation returns 1 for success and 0 for failure.
 */
#ifndef VOLUME_MIXER_H
#define VOLUME_MIXER_H

#include <cstdint>

#include "command/command.h"
#include "mixer/mixer_handle.h"
#include "mixer/mute.h"
#include "mixer/volume.h"

/* Runs one volume command on the mixer: the volume of the line that the
 * settings' VolComponentType chooses, the mute of the speakers line. */
int runOnMixer(const CommandRequest *request, CommandOutcome *outcome);

#endif
