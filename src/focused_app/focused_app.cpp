/*
 * The focused application's sessions, chosen by the rule of
 * session_choice.cpp, as one volume target of many.
 */
#include "focused_app/focused_app.h"

#include "core_audio/core_audio.h"
#include "focused_app/app_sessions.h"
#include "focused_app/focused_process.h"
#include "volume_commands/session_volume.h"

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
  if (found.taken == 0)
    commandFails(FAILED_NO_FOREGROUND_SESSION, nullptr, command->process);
  return runOnChosenSessions(&found, command->request, command->outcome);
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
