#include "stand_in_taskbar.h"

static ClockMessages received;
static HWND clockWindow;

static LRESULT CALLBACK countingWindowProcedure(HWND window, UINT message,
                                                WPARAM wParam, LPARAM lParam) {
  if (message == CLOCK_REFRESH_MESSAGE) {
    if (window == clockWindow && wParam == 0 && lParam == 0)
      received.refreshes++;
    else
      received.misdirected++;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

static bool registerWindowClass(const char *name) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = countingWindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0 ||
         GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

static HWND createWindow(const char *className, const char *title,
                         HWND parent) {
  DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
  return CreateWindowExA(0, className, title, style, 0, 0, 100, 30, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool createStandInTaskbar(StandInTaskbar *taskbar) {
  *taskbar = StandInTaskbar();
  if (!registerWindowClass("Shell_TrayWnd") ||
      !registerWindowClass("TrayNotifyWnd") ||
      !registerWindowClass("TrayClockWClass"))
    return false;
  taskbar->tray = createWindow("Shell_TrayWnd", "", nullptr);
  taskbar->notify = createWindow("TrayNotifyWnd", "", taskbar->tray);
  /* The shell's clock window carries the time as its text. */
  taskbar->clock = createWindow("TrayClockWClass", "12:34", taskbar->notify);
  clockWindow = taskbar->clock;
  resetClockMessages();
  return taskbar->tray && taskbar->notify && taskbar->clock;
}

void destroyStandInTaskbar(StandInTaskbar *taskbar) {
  if (taskbar->tray)
    DestroyWindow(taskbar->tray); /* and its children with it */
  *taskbar = StandInTaskbar();
  clockWindow = nullptr;
}

ClockMessages clockMessages(void) { return received; }

void resetClockMessages(void) { received = ClockMessages(); }
