/*
 * A program named by the settings file ("Program"k): the volume and mute
 * of its audio sessions whatever window has the focus (Windows 7 and
 * later, through Core Audio whatever VolEndpoint says), so that a music
 * player can be lowered, or a chat program muted, from inside a game.
 */
#ifndef VOLUME_PROGRAM_H
#define VOLUME_PROGRAM_H

#include "command/command.h"

/* Runs one volume command on every session, not expired, on every active
 * playback device, that the request's slot's Program text reaches
 * (program_names.h): those of every process whose executable's file name
 * it names, active or inactive, and the system sounds' where it names
 * SystemSounds. The processes are named by one snapshot, without opening
 * any. A step starts from the loudest session and writes the result to
 * every one, a set writes its figure to every one, the mute toggle takes
 * its new state from the first session found; the outcome names the
 * program as the text does. No session of the program (it does not run,
 * or has not played yet), an empty slot, no Core Audio: 0, nothing
 * changed. A device whose sessions cannot be listed is left out. */
int runOnProgram(const CommandRequest *request, CommandOutcome *outcome);

#endif
