/*
 * Routing of command identifiers to volume actions, by the rows of
 * plugin/command_ids.h, on the backend the settings choose.
 */
#include "plugin/dispatch.h"

#include "display/display.h"
#include "endpoint/endpoint.h"
#include "focused_app/focused_app.h"
#include "microphone/microphone.h"
#include "mixer/mixer.h"
#include "plugin/command_ids.h"
#include "plugin/settings.h"
#include "plugin/tray_clock.h"

/* The row that holds id, or null. In unsigned arithmetic an identifier
 * below a row's first one is far beyond its last, and nothing overflows. */
static const CommandIdRow *findRow(int32_t id) {
  for (const CommandIdRow &row : COMMAND_ID_ROWS)
    if ((uint32_t)id - (uint32_t)row.first <=
        (uint32_t)row.last - (uint32_t)row.first)
      return &row;
  return nullptr;
}

static int runOnPlayback(VolumeCommand command, VolumeOutcome *outcome) {
  const StartupSettings &settings = startupSettings();
  VolumeTarget target = {settings.componentTypeSetting,
                         settings.unmuteSetting == UNMUTE_SETTING_ON, nullptr,
                         nullptr};
  return settings.endpointSetting == ENDPOINT_SETTING_ON
             ? runOnEndpoint(command, target, outcome)
             : runOnMixer(command, target, outcome);
}

static int runOnTarget(CommandTarget target, VolumeCommand command,
                       VolumeOutcome *outcome) {
  switch (target) {
  case TARGET_PLAYBACK:
    return runOnPlayback(command, outcome);
  case TARGET_MICROPHONE:
    return runOnMicrophones(command, outcome);
  case TARGET_FOCUSED_APP:
    return runOnFocusedApp(command, outcome);
  }
  return 0;
}

/* What the display shows after a command took; a display that cannot
 * be shown does not make the command fail. */
static void showOutcome(CommandTarget target, const VolumeOutcome &outcome) {
  DisplayView view;
  view.subject = target == TARGET_MICROPHONE    ? DISPLAY_MICROPHONE
                 : target == TARGET_FOCUSED_APP ? DISPLAY_APPLICATION
                                                : DISPLAY_PLAYBACK;
  view.showsLevel = outcome.showsLevel;
  view.percent = outcome.percent;
  view.muted = outcome.muted;
  view.name[0] = 0;
  if (target == TARGET_FOCUSED_APP)
    focusedAppName(view.name, DISPLAY_NAME_SIZE);
  showDisplay(&view);
}

int dispatchCommand(int32_t id) {
  const CommandIdRow *row = findRow(id);
  if (!row)
    return 0;
  int32_t offset = (int32_t)((uint32_t)id - (uint32_t)row->first);
  VolumeCommand command = {row->action,
                           row->amountAtFirst + row->amountPerId * offset};
  VolumeOutcome outcome = {0, 0, 0};
  int result = runOnTarget(row->target, command, &outcome);
  if (!result)
    return 0;
  notifyTrayClock();
  if (startupSettings().displaySetting == DISPLAY_SETTING_ON)
    showOutcome(row->target, outcome);
  return result;
}
