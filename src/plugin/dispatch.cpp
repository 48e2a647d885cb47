/*
 * Routing of command identifiers to volume actions, by the rows of
 * plugin/command_ids.h, on the backend the settings choose.
 */
#include "plugin/dispatch.h"

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

static int runOnPlayback(VolumeCommand command) {
  const StartupSettings &settings = startupSettings();
  VolumeTarget target = {settings.componentTypeSetting,
                         settings.unmuteSetting == UNMUTE_SETTING_ON, nullptr,
                         nullptr};
  return settings.endpointSetting == ENDPOINT_SETTING_ON
             ? runOnEndpoint(command, target)
             : runOnMixer(command, target);
}

static int runOnTarget(CommandTarget target, VolumeCommand command) {
  switch (target) {
  case TARGET_PLAYBACK:
    return runOnPlayback(command);
  case TARGET_MICROPHONE:
    return runOnMicrophones(command);
  case TARGET_FOCUSED_APP:
    return runOnFocusedApp(command);
  }
  return 0;
}

int dispatchCommand(int32_t id) {
  const CommandIdRow *row = findRow(id);
  if (!row)
    return 0;
  int32_t offset = (int32_t)((uint32_t)id - (uint32_t)row->first);
  VolumeCommand command = {row->action,
                           row->amountAtFirst + row->amountPerId * offset};
  int result = runOnTarget(row->target, command);
  if (result)
    notifyTrayClock();
  return result;
}
