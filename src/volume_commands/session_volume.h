/*
 * The audio sessions a family chose (core_audio/held_sessions.h: the
 * focused application's, a program's) as one volume target of many: the
 * volume read is the loudest session's, every write goes to every
 * session; the mute toggle takes its new state from the first.
 */
#ifndef VOLUME_SESSION_VOLUME_H
#define VOLUME_SESSION_VOLUME_H

#include "command/command.h"
#include "core_audio/held_sessions.h"

/* Runs the request's volume command on the sessions chosen in found and
 * releases everything found holds. 1 when sessions were chosen and every
 * one of them took the command (a session whose volume could not be held
 * counts against it); 0 where none was chosen, with nothing touched and
 * no reason given: the family that chose knows why. */
int runOnChosenSessions(HeldSessions *found, const CommandRequest *request,
                        CommandOutcome *outcome);

#endif
