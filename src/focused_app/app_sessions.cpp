/*
 * The facts the rules of session_choice.cpp ask to find the focused
 * application's sessions, answered through Core Audio, the process calls
 * and one snapshot of the processes, taken when a helper is first asked
 * of.
 */
#include "focused_app/app_sessions.h"

#include "focused_app/focused_process.h"
#include "focused_app/session_choice.h"

/* What the command learnt of the processes, each when first needed. */
struct Judging {
  HeldSessions *found;
  uint32_t processId;  /* the focused one */
  int8_t focusedLooks; /* LOOKED_ bits of it, or NOT_JUDGED */
  int8_t snapshotFlag; /* the snapshot taken, or NOT_JUDGED */
  /* The process last looked at (0: none): its start and whether it runs
   * the focused one's executable (LOOKED_IMAGE). The rule asks both of a
   * process one after the other. */
  int8_t lastLooks;
  uint32_t lastProcess;
  ProcessSnapshot snapshot;
  uint64_t focusedStart, lastStart;
  uint16_t image[IMAGE_PATH_SIZE]; /* the focused one's executable */
};

static SessionEntry *entryOf(void *context, uint32_t session) {
  return &((Judging *)context)->found->entries[session];
}

static uint32_t sessionProcess(void *context, uint32_t session) {
  return entryOf(context, session)->processId;
}

static int counts(void *context, uint32_t session) {
  SessionEntry *entry = entryOf(context, session);
  return sessionLive(entry) && !entry->systemSounds;
}

static int plays(void *context, uint32_t session) {
  return counts(context, session) && entryOf(context, session)->active;
}

/* The snapshot is walked afresh for each question, so that none of it is
 * kept: however many processes run, each is seen. */
static uint32_t parentOf(void *context, uint32_t process) {
  Judging *judging = (Judging *)context;
  if (judging->snapshotFlag == NOT_JUDGED) {
    judging->snapshot = platformSnapshotProcesses();
    judging->snapshotFlag = judging->snapshot != 0;
  }
  ProcessEntry entry;
  for (int more = judging->snapshotFlag &&
                  platformSnapshotProcess(judging->snapshot, 1, &entry);
       more; more = platformSnapshotProcess(judging->snapshot, 0, &entry))
    if (entry.processId == process)
      return entry.parentId;
  return 0;
}

/* A process is looked at through one handle for both questions; the
 * focused one once. Where its executable cannot be read, none runs it. */
static void lookAt(Judging *judging, uint32_t process) {
  if (judging->focusedLooks == NOT_JUDGED)
    judging->focusedLooks = (int8_t)lookAtProcess(
        judging->processId, judging->image, &judging->focusedStart);
  if (process == judging->processId || process == judging->lastProcess)
    return;
  uint16_t path[IMAGE_PATH_SIZE];
  int looks = lookAtProcess(process, path, &judging->lastStart);
  if (!(looks & judging->focusedLooks & LOOKED_IMAGE) ||
      !samePath(path, judging->image))
    looks &= ~LOOKED_IMAGE;
  judging->lastProcess = process;
  judging->lastLooks = (int8_t)looks;
}

static int startedAt(void *context, uint32_t process, uint64_t *started) {
  Judging *judging = (Judging *)context;
  int focused = process == judging->processId;
  lookAt(judging, process);
  *started = focused ? judging->focusedStart : judging->lastStart;
  return ((focused ? judging->focusedLooks : judging->lastLooks) &
          LOOKED_START) != 0;
}

static int runsItsFile(void *context, uint32_t process) {
  Judging *judging = (Judging *)context;
  lookAt(judging, process);
  return (judging->lastLooks & LOOKED_IMAGE) != 0;
}

/* Judged once for every session of its process. */
static int ofHelper(void *context, uint32_t session) {
  Judging *judging = (Judging *)context;
  HeldSessions *found = judging->found;
  SessionEntry *entry = &found->entries[session];
  if (entry->mark == NOT_JUDGED) {
    ProcessTree tree = {judging, parentOf, startedAt, runsItsFile};
    int8_t helper =
        (int8_t)helperOf(&tree, entry->processId, judging->processId);
    for (uint32_t i = 0; i < found->count; i++)
      if (found->entries[i].processId == entry->processId)
        found->entries[i].mark = helper;
  }
  return entry->mark == 1;
}

static void take(void *context, uint32_t session) {
  chooseSession(((Judging *)context)->found, session);
}

void takeAppSessions(HeldSessions *found, uint32_t processId) {
  Judging judging;
  judging.found = found;
  judging.processId = processId;
  judging.focusedLooks = NOT_JUDGED;
  judging.snapshotFlag = NOT_JUDGED;
  judging.lastProcess = 0;
  SessionFacts facts = {};
  facts.context = &judging;
  facts.count = found->count;
  facts.focusedProcess = processId;
  facts.process = sessionProcess;
  facts.counts = counts;
  facts.plays = plays;
  facts.ofHelper = ofHelper;
  facts.choose = take;
  chooseAppSessions(&facts);
  if (judging.snapshotFlag == 1)
    platformCloseSnapshot(judging.snapshot);
}
