/*
 * Routing of command identifiers to volume actions, on the backend the
 * settings choose.
 */
#include "plugin/commands.h"

#include "endpoint/endpoint.h"
#include "mixer/mixer.h"
#include "plugin/settings.h"
#include "plugin/tray_clock.h"

static int inRange(int32_t id, int32_t first) {
  return id >= first && id <= first + COMMAND_RANGE;
}

/* 0 for an identifier outside every range. */
static int decodeCommand(int32_t id, VolumeCommand *command) {
  if (id == COMMAND_MUTE)
    *command = {VOLUME_TOGGLE_MUTE, 0};
  else if (inRange(id, COMMAND_VOLUME_UP))
    *command = {VOLUME_STEP, id - COMMAND_VOLUME_UP};
  else if (inRange(id, COMMAND_VOLUME_DOWN))
    *command = {VOLUME_STEP, COMMAND_VOLUME_DOWN - id};
  else if (inRange(id, COMMAND_SET_VOLUME))
    *command = {VOLUME_SET, id - COMMAND_SET_VOLUME};
  else
    return 0;
  return 1;
}

int dispatchCommand(int32_t id) {
  VolumeCommand command;
  if (!decodeCommand(id, &command))
    return 0;
  const StartupSettings &settings = startupSettings();
  VolumeTarget target = {settings.componentTypeSetting,
                         settings.unmuteSetting == UNMUTE_SETTING_ON, nullptr};
  int result = settings.endpointSetting == ENDPOINT_SETTING_ON
                   ? runOnEndpoint(command, target)
                   : runOnMixer(command, target);
  if (result)
    notifyTrayClock();
  return result;
}
