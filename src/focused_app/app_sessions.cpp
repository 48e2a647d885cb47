/*
 * The facts the rules of session_choice.cpp ask to find the focused
 * application's sessions, answered through Core Audio, the process calls
 * and one snapshot of the processes, taken when a helper is first asked
 * of.
 */
#include "focused_app/app_sessions.h"

#include "focused_app/focused_process.h"
#include "focused_app/session_choice.h"

static_assert((int)LOOKED_IMAGE == (int)PROCESS_RUNS_ITS_FILE &&
                  (int)LOOKED_START == (int)PROCESS_STARTED,
              "a look at a process answers the rule as it is");

/* What the command learnt of the processes, each when first needed. */
struct Judging {
  HeldSessions *found;
  uint32_t processId;  /* the focused one */
  int8_t focusedLooks; /* LOOKED_ bits of it, or NOT_JUDGED */
  int8_t snapshotFlag; /* the snapshot taken, or NOT_JUDGED */
  ProcessSnapshot snapshot;
  uint64_t focusedStart;
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

/* Through one handle: its start, and whether it runs the focused one's
 * executable, which is read once. Where that cannot be read, none runs
 * it. */
static int look(void *context, uint32_t process, uint64_t *started) {
  Judging *judging = (Judging *)context;
  if (judging->focusedLooks == NOT_JUDGED)
    judging->focusedLooks = (int8_t)lookAtProcess(
        judging->processId, judging->image, &judging->focusedStart);
  if (process == judging->processId) {
    *started = judging->focusedStart;
    return judging->focusedLooks;
  }
  uint16_t path[IMAGE_PATH_SIZE];
  int looks = lookAtProcess(process, path, started);
  if (!(looks & judging->focusedLooks & LOOKED_IMAGE) ||
      !samePath(path, judging->image))
    looks &= ~LOOKED_IMAGE;
  return looks;
}

/* Judged once for every session of its process. */
static int ofHelper(void *context, uint32_t session) {
  Judging *judging = (Judging *)context;
  HeldSessions *found = judging->found;
  SessionEntry *entry = &found->entries[session];
  if (entry->mark == NOT_JUDGED) {
    ProcessTree tree = {judging, parentOf, look};
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
  SessionFacts facts = {&judging, found->count, processId, sessionProcess,
                        counts,   plays,        ofHelper,  take};
  chooseAppSessions(&facts);
  if (judging.snapshotFlag == 1)
    platformCloseSnapshot(judging.snapshot);
}
