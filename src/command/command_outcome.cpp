/*
 * What a command names in its outcome, for the display.
 */
#include "command/command.h"

void nameOutcome(CommandOutcome *outcome, const uint16_t *name) {
  uint32_t i = 0;
  for (; name[i] != 0 && i + 1 < OUTCOME_NAME_SIZE; i++)
    outcome->name[i] = name[i];
  if (name[i] != 0 && i > 0 && (outcome->name[i - 1] & 0xFC00) == 0xD800)
    i--;
  outcome->name[i] = 0;
}
