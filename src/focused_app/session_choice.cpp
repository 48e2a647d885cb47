/*
 * The rule that chooses the focused application's sessions, and the rule
 * of a helper's descent, over the facts its caller answers.
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

/* How many parent links lead from process up to the ancestor, by the ids
 * alone; 0 where they never do: an id of none, or a loop (only reused ids
 * make one), found by Brent's method so that no depth is assumed. */
static uint32_t linksUpTo(const ProcessTree *tree, uint32_t process,
                          uint32_t ancestor) {
  uint32_t links = 0, mark = process, lap = 0, power = 1;
  for (uint32_t at = process; at != ancestor;) {
    at = tree->parentOf(tree->context, at);
    links++;
    if (at == 0 || at == mark)
      return 0;
    if (++lap == power) {
      mark = at;
      power *= 2;
      lap = 0;
    }
  }
  return links;
}

/* Equal starts pass: the clock they are read on ticks more coarsely than
 * a program starts a helper. */
int helperOf(const ProcessTree *tree, uint32_t process, uint32_t focused) {
  uint32_t links = linksUpTo(tree, process, focused);
  uint64_t child = 0, parent = 0;
  if (links == 0 || tree->look(tree->context, process, &child) !=
                        (PROCESS_STARTED | PROCESS_RUNS_ITS_FILE))
    return 0;
  for (uint32_t at = process; links > 0; links--, child = parent) {
    at = tree->parentOf(tree->context, at);
    if (!(tree->look(tree->context, at, &parent) & PROCESS_STARTED) ||
        parent > child)
      return 0;
  }
  return 1;
}
