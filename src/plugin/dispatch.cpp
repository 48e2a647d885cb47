/*
 * Routing of command identifiers to their families' handlers, by the rows
 * of command/command_families.h.
 */
#include "plugin/dispatch.h"

#include "command/command_families.h"
#include "display/display.h"
#include "plugin/tray_clock.h"

static_assert((int)DISPLAY_NAME_SIZE == (int)OUTCOME_NAME_SIZE,
              "the display shows the whole name a command reports");

/* What the display shows after a command took; a display that cannot
 * be shown does not make the command fail. */
static void showOutcome(DisplaySubject subject, const CommandOutcome &outcome) {
  DisplayView view;
  view.subject = subject;
  view.showsLevel = outcome.showsLevel;
  view.percent = outcome.percent;
  view.muted = outcome.muted;
  for (uint32_t i = 0; i < DISPLAY_NAME_SIZE; i++)
    view.name[i] = outcome.name[i];
  showDisplay(&view);
}

int dispatchCommand(int32_t id, const Settings &settings) {
  const CommandFamily *family = familyOfId(id);
  if (!family)
    return 0;
  int32_t offset = (int32_t)((uint32_t)id - (uint32_t)family->firstId);
  int display = settingOn(&settings, SETTING_DISPLAY);
  CommandRequest request = {
      family->action, family->argumentAtFirst + family->argumentPerId * offset,
      &settings, display};
  CommandOutcome outcome = {};
  if (!family->run(&request, &outcome))
    return 0;
  notifyTrayClock();
  if (display)
    showOutcome(family->subject, outcome);
  return 1;
}
