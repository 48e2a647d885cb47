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

#include "platform/platform.h"
#include "volume_commands/volume_commands.h"

/* Opens mixer device 0 unless it is open already (mixer_handle.cpp). */
int openMixer(void);

/* The volume of the chosen line as a whole percent, rounded
 * (volume.cpp). */
int readVolumePercent(int32_t componentTypeSetting, uint32_t *percent);
/* Sets the volume to a percent, keeping the balance between channels. */
int writeVolumePercent(int32_t componentTypeSetting, uint32_t percent);

/* Mute of the speakers line, whatever line the volume commands use
 * (mute.cpp). */
int readMixerMute(uint32_t *value);
int writeMixerMute(uint32_t value);

/* Runs one volume command on the mixer: the volume of the line that the
 * settings' VolComponentType chooses, the mute of the speakers line
 * (mixer_backend.cpp). */
int runOnMixer(const CommandRequest *request, VolumeOutcome *outcome);

/* Closes the mixer and forgets every control found, so that the next
 * command starts as the first one after loading did. */
void releaseMixer(void);

#endif
