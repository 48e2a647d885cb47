/*
 * The focused application's sessions as one volume backend of many
 * targets: the volume read is the loudest session's, every write goes to
 * every session. Its context is the command's AppSessions.
 */
#include "focused_app/focused_app.h"

#include "core_audio/core_audio.h"
#include "focused_app/app_sessions.h"
#include "focused_app/focused_process.h"
#include "volume_commands/volume_commands.h"

static ComObject sessionVolume(void *context, uint32_t index) {
  return ((const AppSessions *)context)->volumes[index];
}

static int readSessionPercent(void *context, uint32_t index,
                              uint32_t *percent) {
  float scalar = 0.0f;
  return comTook(
             platformSessionGetVolume(sessionVolume(context, index), &scalar),
             FAILED_SESSION_REFUSED) &&
         percentFromScalar(scalar, percent);
}

static int writeSessionPercent(void *context, uint32_t index,
                               uint32_t percent) {
  return comTook(platformSessionSetVolume(sessionVolume(context, index),
                                          (float)percent / 100.0f),
                 FAILED_SESSION_REFUSED);
}

static int readSessionMute(void *context, uint32_t index, uint32_t *muted) {
  int32_t value = 0;
  if (!comTook(platformSessionGetMute(sessionVolume(context, index), &value),
               FAILED_SESSION_REFUSED))
    return 0;
  *muted = value != 0;
  return 1;
}

static int writeSessionMute(void *context, uint32_t index, uint32_t muted) {
  return comTook(
      platformSessionSetMute(sessionVolume(context, index), muted ? 1 : 0),
      FAILED_SESSION_REFUSED);
}

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
  AppSessions found;
  found.count = 0;
  found.taken = 0;
  found.allTaken = 1;
  listSessions(enumerator, &found);
  takeSessions(&found, command->process);
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
