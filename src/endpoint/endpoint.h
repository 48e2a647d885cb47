/*
 * The default playback endpoint as a volume backend (Windows Vista and
 * later, through Core Audio): the volume and mute the user hears, where
 * the classic mixer changes only the calling program's own session.
 *
 * Each command opens the endpoint that is the default at that moment and
 * lets go of it before returning; nothing is kept between commands.
 */
#ifndef VOLUME_ENDPOINT_H
#define VOLUME_ENDPOINT_H

#include <cstdint>

#include "volume_commands/volume_commands.h"

/* VolEndpoint's one value that turns the endpoint on. */
enum { ENDPOINT_SETTING_ON = 1 };

/* Percent = the master volume scalar × 100, rounded half up, as the
 * volume flyout shows it; a write of n percent sets the scalar n / 100.
 * The target's endpoint is the command's session. */
extern const VolumeBackend ENDPOINT_BACKEND;

/* A master volume scalar as that percent; 0 for a scalar that is no
 * number. A scalar outside 0..1 is taken at the nearer bound. */
int percentFromScalar(float scalar, uint32_t *percent);

/* Runs one command on the default endpoint. Where Core Audio is absent
 * the command runs on the classic mixer instead; any other failure fails
 * the command. */
int runOnEndpoint(VolumeCommand command, VolumeTarget target,
                  VolumeOutcome *outcome);

#endif
