/*
 * A program's sessions, chosen by the names of its Program text over one
 * snapshot of the processes, as one volume target of many.
 */
#include "program/program.h"

#include "core_audio/core_audio.h"
#include "program/program_names.h"
#include "volume_commands/session_volume.h"

struct ProgramCommand {
  const CommandRequest *request;
  CommandOutcome *outcome;
  const char *text;
  ProgramNames names;
  HeldSessions found;
};

/* Each session whose process the snapshot names by one of the names is
 * marked: the snapshot walked once, a process's name compared only where
 * it has a session. */
static void nameSessions(HeldSessions *found, const ProgramNames *names) {
  ProcessSnapshot snapshot = platformSnapshotProcesses();
  if (!snapshot) {
    commandFails(FAILED_PROCESSES_UNLISTED, nullptr, 0);
    return;
  }
  ProcessEntry entry;
  for (int more = platformSnapshotProcess(snapshot, 1, &entry); more;
       more = platformSnapshotProcess(snapshot, 0, &entry))
    for (uint32_t i = 0; i < found->count; i++)
      if (found->entries[i].processId == entry.processId)
        found->entries[i].mark = (int8_t)namesFile(names, entry.file);
  platformCloseSnapshot(snapshot);
}

/* A session is asked its state only where the names may reach it. */
static int runOnSessions(ComObject enumerator, void *context) {
  ProgramCommand *command = (ProgramCommand *)context;
  HeldSessions *found = &command->found;
  const ProgramNames *names = &command->names;
  listSessions(enumerator, found);
  nameSessions(found, names);
  for (uint32_t i = 0; i < found->count; i++) {
    SessionEntry *entry = &found->entries[i];
    int named = entry->mark == 1;
    if ((named || names->systemSounds) && sessionLive(entry) &&
        programReaches(names, named, entry->systemSounds))
      chooseSession(found, i);
  }
  if (found->taken == 0)
    commandFails(FAILED_NO_SESSION_OF, command->text, 0);
  return runOnChosenSessions(found, command->request, command->outcome);
}

int runOnProgram(const CommandRequest *request, CommandOutcome *outcome) {
  ProgramCommand command;
  command.request = request;
  command.outcome = outcome;
  command.text =
      settingText(request->settings, SETTING_TEXT_PROGRAM, request->slot);
  if (command.text[0] == '\0') {
    commandFails(FAILED_EMPTY_SLOT, nullptr, 0);
    return 0;
  }
  readProgramNames(command.text, &command.names);
  int result = withDeviceEnumerator(runOnSessions, &command);
  if (result && request->describe)
    nameOutcome(outcome, command.names.text);
  return result;
}
