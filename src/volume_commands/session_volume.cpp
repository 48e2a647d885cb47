/*
 * The chosen sessions as a volume backend, and a command run over them.
 */
#include "volume_commands/session_volume.h"

#include "volume_commands/volume_commands.h"

static const VolumeBackend SESSION_BACKEND = {
    readSessionPercent, writeSessionPercent, readSessionMute, writeSessionMute,
    nullptr};

/* What could not be read elsewhere does not matter once sessions are
 * chosen; a chosen one that was not changed does. UnmuteOnChange does not
 * apply to sessions. */
int runOnChosenSessions(HeldSessions *found, const CommandRequest *request,
                        CommandOutcome *outcome) {
  VolumeTarget target = {&SESSION_BACKEND, found, found->taken, nullptr};
  int result = found->taken &&
               runVolumeCommand(&target, (VolumeAction)request->action,
                                request->argument, outcome) &&
               found->allTaken;
  releaseSessions(found);
  return result;
}
