/*
 * The taskbar clock, found through the shell's windows and told to redraw.
 */
#include "plugin/tray_clock.h"

#include "platform/platform.h"

void notifyTrayClock(void) {
  /* The shell's window chain, by class. The titles are empty strings, not
   * null pointers: the shell's windows have no title, and only a null
   * pointer would mean "any title". No handle is tested: a window that is
   * missing makes the next search run over the top-level windows, and a
   * send to no window does nothing. */
  WindowHandle tray = platformFindWindow("Shell_TrayWnd", "");
  WindowHandle notify = platformFindChildWindow(tray, "TrayNotifyWnd", "");
  WindowHandle clock =
      platformFindChildWindow(notify, "TrayClockWClass", nullptr);
  platformSendMessage(clock, TRAY_CLOCK_REFRESH, 0, 0);
}
