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

#include "command/command.h"

/* Runs one volume command on the default endpoint. Percent = the master
 * volume scalar × 100, rounded half up, as the volume flyout shows it; a
 * write of n percent sets the scalar n / 100. Where Core Audio is absent
 * the command runs on the classic mixer instead; any other failure fails
 * the command. */
int runOnEndpoint(const CommandRequest *request, CommandOutcome *outcome);

/* The handler of the playback commands: the default endpoint where the
 * settings' VolEndpoint turns it on, the classic mixer otherwise. */
int runOnPlayback(const CommandRequest *request, CommandOutcome *outcome);

#endif
