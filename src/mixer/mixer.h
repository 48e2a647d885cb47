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

/* Opens mixer device 0 unless it is open already. */
int openMixer(void);

/* The volume of the chosen line as a whole percent, rounded. */
int readVolumePercent(int32_t componentTypeSetting, uint32_t *percent);
/* Sets the volume to a percent, keeping the balance between channels. */
int writeVolumePercent(uint32_t percent, int32_t componentTypeSetting);

/* Mute of the speakers line, whatever line the volume commands use. */
int readMute(uint32_t *value);
int writeMute(uint32_t value);

/* The mixer as a volume backend; its target's componentTypeSetting
 * chooses the volume's line. */
extern const VolumeBackend MIXER_BACKEND;
/* Runs one command on the mixer, with the target's settings. */
int runOnMixer(VolumeCommand command, VolumeTarget target,
               VolumeOutcome *outcome);

/* Closes the mixer and forgets every control found, so that the next
 * command starts as the first one after loading did. */
void releaseMixer(void);

#endif
