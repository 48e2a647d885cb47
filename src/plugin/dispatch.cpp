/*
 * Routing of command identifiers to their families' handlers, by the rows
 * of command/command_families.h.
 */
#include "plugin/dispatch.h"

#include "command/command_failure.h"
#include "command/command_families.h"
#include "display/display.h"
#include "platform/platform.h"
#include "plugin/catalogue.h"
#include "plugin/command_text.h"
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

enum { DEBUG_LINE_SIZE = 256 };

/* One line on the debugger's channel for a command that failed:
 * "volume: <its name>: <why>" (an identifier in no row by its number). */
static void sayWhy(int32_t id, const CommandFamily *family) {
  if (!family)
    commandFails(FAILED_UNKNOWN_ID, nullptr, 0);
  char name[COMMAND_TEXT_SIZE], line[DEBUG_LINE_SIZE];
  formatCommandText(
      name, family ? family->nameFormat : "%d",
      family ? (int32_t)((uint32_t)id - (uint32_t)family->firstId) : id, "");
  formatCommandText(line, "volume: %s: ", 0, name);
  uint32_t length = 0;
  while (line[length] != '\0')
    length++;
  describeCommandFailure(line + length, DEBUG_LINE_SIZE - 1 - length);
  while (line[length] != '\0')
    length++;
  line[length] = '\n';
  line[length + 1] = '\0';
  platformDebugOutput(line);
}

/* The request an identifier of a row makes: 0 where a text row's slot
 * has no number to give it. */
static int decodeRequest(const CommandFamily *family, int32_t id,
                         const Settings &settings, CommandRequest *request) {
  int32_t offset = (int32_t)((uint32_t)id - (uint32_t)family->firstId);
  int32_t scale = offset;
  request->slot = family->text != SETTING_TEXT_COUNT ? (uint32_t)offset : 0;
  if (family->numberIsAmount) {
    scale = settingNumber(&settings, family->number, request->slot);
    if (scale == NO_NUMBER) {
      commandFails(FAILED_NO_NUMBER, SETTING_NUMBER_ROWS[family->number].key,
                   request->slot);
      return 0;
    }
  }
  request->action = family->action;
  request->argument = family->argumentAtFirst + family->argumentPerId * scale;
  request->settings = &settings;
  request->describe = settingOn(&settings, SETTING_DISPLAY);
  return 1;
}

int dispatchCommand(int32_t id, const Settings &settings) {
  forgetCommandFailure();
  const CommandFamily *family = commandFamilyOf(id);
  CommandRequest request;
  CommandOutcome outcome = {};
  if (!family || !decodeRequest(family, id, settings, &request) ||
      !family->run(&request, &outcome)) {
    sayWhy(id, family);
    return 0;
  }
  notifyTrayClock();
  if (request.describe)
    showOutcome(family->subject, outcome);
  return 1;
}
