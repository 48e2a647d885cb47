/*
 * Which audio sessions are the focused application's: the rule, once,
 * over facts about each session that its caller answers as they are
 * asked. The plug-in answers through Core Audio and the process calls
 * (app_sessions.cpp); `plughost sessions` from the sessions it listed.
 */
#ifndef VOLUME_SESSION_CHOICE_H
#define VOLUME_SESSION_CHOICE_H

#include <cstdint>

/* The sessions 0..count-1 of every device, in device order, and the
 * questions the rule asks of them. An answer may cost calls, so each is
 * asked only where the rule needs it; asked again, it must answer alike. */
struct SessionFacts {
  void *context; /* the answerer's own */
  uint32_t count;
  uint32_t focusedProcess;
  uint32_t (*process)(void *context, uint32_t session);
  /* Neither expired nor the system sounds'. */
  int (*counts)(void *context, uint32_t session);
  /* Plays now; asked only of a session that counts. */
  int (*plays)(void *context, uint32_t session);
  /* Its process is a helper of the focused one (helperOf). Asked only of
   * a session of another process that counts, never before a helper
   * could matter. */
  int (*ofHelper)(void *context, uint32_t session);
  /* The session is the application's: told once for each, in order. */
  void (*choose)(void *context, uint32_t session);
};

/* How the sessions were chosen. */
enum SessionsChosen {
  CHOSEN_OWN,            /* its own: one plays, or no helper does */
  CHOSEN_HELPERS,        /* none of its own counts: its helpers' */
  CHOSEN_OWN_AND_HELPERS /* none of its own plays and a helper's does */
};

/* Chooses the focused process's sessions that count; where it has none,
 * its helpers' that count; where none of its own plays while a helper's
 * does, both: a program whose helper plays is heard through the helper. */
SessionsChosen chooseAppSessions(const SessionFacts *facts);

/* What a look at a process tells (ProcessTree's look). */
enum { PROCESS_RUNS_ITS_FILE = 1, PROCESS_STARTED = 2 };

/* The processes of one snapshot, as the helper's rule asks of them; an
 * answer asked again must answer alike. */
struct ProcessTree {
  void *context; /* the answerer's own */
  /* The parent id the snapshot gives a process; 0 where it gives none or
   * does not list the process. */
  uint32_t (*parentOf)(void *context, uint32_t process);
  /* A look at a process: PROCESS_STARTED with *started where its start,
   * on a clock that only grows, can be told; PROCESS_RUNS_ITS_FILE where
   * it runs the focused process's executable. */
  int (*look)(void *context, uint32_t process, uint64_t *started);
};

/* Whether a process is a helper of the focused one: it runs its
 * executable and descends from it (a child, a grandchild...) by the
 * parent ids, each parent started no later than its child. A process
 * whose parent ended may name by its parent id a later process that was
 * given the same number: one that started before the process its parent
 * id names is not its child. A start that cannot be told proves no
 * descent. The parent ids are followed alone first, so that nothing is
 * asked of a process outside the focused one's tree. */
int helperOf(const ProcessTree *tree, uint32_t process, uint32_t focused);

#endif
