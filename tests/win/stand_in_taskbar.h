/*
 * A stand-in for the shell's taskbar: the three windows the plug-in looks
 * for after a command, with a window procedure that counts what reaches
 * them. Created on the test's own thread, so the plug-in's SendMessageA
 * calls the procedure directly.
 */
#ifndef VOLUME_WIN_TESTS_STAND_IN_TASKBAR_H
#define VOLUME_WIN_TESTS_STAND_IN_TASKBAR_H

#include <windows.h>

/* The shell's clock redraws on WM_USER + 6. */
enum { CLOCK_REFRESH_MESSAGE = 0x0406 };

struct StandInTaskbar {
  HWND tray;   /* top-level "Shell_TrayWnd", no title */
  HWND notify; /* its child "TrayNotifyWnd", no title */
  HWND clock;  /* the notify area's child "TrayClockWClass" */
};

/* What the windows received since the last reset. */
struct ClockMessages {
  int refreshes;   /* CLOCK_REFRESH_MESSAGE to the clock, wParam and lParam 0 */
  int misdirected; /* the message with other arguments or to another window */
};

bool createStandInTaskbar(StandInTaskbar *taskbar);
void destroyStandInTaskbar(StandInTaskbar *taskbar);

ClockMessages clockMessages(void);
void resetClockMessages(void);

#endif
