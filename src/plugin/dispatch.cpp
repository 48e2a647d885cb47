/*
 * Routing of command identifiers to mixer actions.
 */
#include "plugin/commands.h"

#include "mixer/mixer.h"
#include "plugin/settings.h"
#include "plugin/tray_clock.h"

static int inRange(int32_t id, int32_t first) {
  return id >= first && id <= first + COMMAND_RANGE;
}

int dispatchCommand(int32_t id) {
  int32_t componentTypeSetting = startupSettings().componentTypeSetting;
  int result;
  if (id == COMMAND_MUTE)
    result = toggleMute();
  else if (inRange(id, COMMAND_VOLUME_UP))
    result = stepVolume(id - COMMAND_VOLUME_UP, componentTypeSetting);
  else if (inRange(id, COMMAND_VOLUME_DOWN))
    result = stepVolume(COMMAND_VOLUME_DOWN - id, componentTypeSetting);
  else if (inRange(id, COMMAND_SET_VOLUME))
    result = writeVolumePercent((uint32_t)(id - COMMAND_SET_VOLUME),
                                componentTypeSetting);
  else
    return 0;
  if (result)
    notifyTrayClock();
  return result;
}
