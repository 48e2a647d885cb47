/*
 * The rule that chooses the focused application's sessions, over the
 * facts its caller answers.
 */
#include "focused_app/session_choice.h"

static int ofAnother(const SessionFacts *facts, uint32_t session) {
  return facts->process(facts->context, session) != facts->focusedProcess;
}

/* A session of another process that counts and plays, of a helper. The
 * helper question comes last: only a playing session can need it. */
static int aHelperPlays(const SessionFacts *facts) {
  for (uint32_t i = 0; i < facts->count; i++)
    if (ofAnother(facts, i) && facts->counts(facts->context, i) &&
        facts->plays(facts->context, i) && facts->ofHelper(facts->context, i))
      return 1;
  return 0;
}

SessionsChosen chooseAppSessions(const SessionFacts *facts) {
  int own = 0, ownPlays = 0;
  for (uint32_t i = 0; i < facts->count; i++)
    if (!ofAnother(facts, i) && facts->counts(facts->context, i)) {
      facts->choose(facts->context, i);
      own = 1;
      ownPlays |= facts->plays(facts->context, i);
    }
  if (ownPlays || (own && !aHelperPlays(facts)))
    return CHOSEN_OWN;
  for (uint32_t i = 0; i < facts->count; i++)
    if (ofAnother(facts, i) && facts->counts(facts->context, i) &&
        facts->ofHelper(facts->context, i))
      facts->choose(facts->context, i);
  return own ? CHOSEN_OWN_AND_HELPERS : CHOSEN_HELPERS;
}
