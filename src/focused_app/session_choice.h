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
  /* Its process is a helper of the focused one (today: it runs the same
   * executable); asked only of a session of another process that counts,
   * never before a helper could matter. */
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

#endif
