/*
 * Routing of command identifiers to mixer actions.
 */
#include "plugin/commands.h"

#include "mixer/mixer.h"
#include "platform/platform.h"
#include "plugin/settings.h"

/* WM_USER + 6: the shell's clock redraws itself on it. */
static const uint32_t TRAY_CLOCK_REFRESH = 0x0406;

static int inRange(int32_t id, int32_t first) {
  return id >= first && id <= first + COMMAND_RANGE;
}

int dispatchCommand(int32_t id) {
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

void notifyTrayClock(void) {
  /* The titles are empty strings, not null pointers: the shell's windows
   * have no title, and only a null pointer would mean "any title". No
   * handle is tested: a window that is missing makes the next search run
   * over the top-level windows, and a send to no window does nothing. */
  WindowHandle tray = platformFindWindow("Shell_TrayWnd", "");
  WindowHandle notify = platformFindChildWindow(tray, "TrayNotifyWnd", "");
  WindowHandle clock =
      platformFindChildWindow(notify, "TrayClockWClass", nullptr);
  platformSendMessage(clock, TRAY_CLOCK_REFRESH, 0, 0);
}
