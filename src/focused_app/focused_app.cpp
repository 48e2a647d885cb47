/*
 * The focused application's sessions as one volume backend of many
 * targets: the volume read is the loudest session's, every write goes to
 * every session. Its context is the command's HeldSessions.
 */
#include "focused_app/focused_app.h"

#include "core_audio/core_audio.h"
#include "focused_app/app_sessions.h"
#include "focused_app/focused_process.h"
#include "volume_commands/volume_commands.h"

static const VolumeBackend APP_BACKEND = {readSessionPercent,
                                          writeSessionPercent, readSessionMute,
                                          writeSessionMute, nullptr};

struct AppCommand {
  const CommandRequest *request;
  CommandOutcome *outcome;
  uint32_t process; /* the focused one, looked up once */
};

static int runOnSessions(ComObject enumerator, void *context) {
  const AppCommand *command = (const AppCommand *)context;
  HeldSessions found;
  listSessions(enumerator, &found);
  takeAppSessions(&found, command->process);
  /* What could not be read elsewhere does not matter once the
   * application is found; a session of its that was not changed does. */
  int result = 0;
  if (found.taken == 0) {
    commandFails(FAILED_NO_FOREGROUND_SESSION, nullptr, command->process);
  } else {
    VolumeTarget target = {&APP_BACKEND, &found, found.taken, nullptr};
    result = runVolumeCommand(&target, (VolumeAction)command->request->action,
                              command->request->argument, command->outcome) &&
             found.allTaken;
  }
  releaseSessions(&found);
  return result;
}

int runOnFocusedApp(const CommandRequest *request, CommandOutcome *outcome) {
  AppCommand command = {request, outcome, focusedProcess()};
  if (command.process == 0) {
    commandFails(FAILED_NO_FOREGROUND, nullptr, 0);
    return 0;
  }
  int result = withDeviceEnumerator(runOnSessions, &command);
  if (result && request->describe)
    processName(command.process, outcome->name, OUTCOME_NAME_SIZE);
  return result;
}
