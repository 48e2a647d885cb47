/*
 * A stand-in for the shell's taskbar: the three windows the plug-in looks
 * for after a command, with a window procedure that counts what reaches
 * them. Created on the caller's thread, so a plug-in's send from that
 * thread calls the procedure directly.
 */
#include <cstdio>

#include "hostkit/hostkit.h"

static ClockMessages received;
static HWND clockWindow;

static LRESULT CALLBACK countingWindowProcedure(HWND window, UINT message,
                                                WPARAM wParam, LPARAM lParam) {
  if (message == TRAY_CLOCK_REFRESH) {
    if (window == clockWindow && wParam == 0 && lParam == 0)
      received.refreshes++;
    else
      received.misdirected++;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int kitUsePrivateDesktop(const char *namePrefix) {
  char name[96];
  snprintf(name, sizeof name, "%s-%lu", namePrefix,
           (unsigned long)GetCurrentProcessId());
  HDESK desktop =
      CreateDesktopA(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  return desktop != nullptr && SetThreadDesktop(desktop);
}

enum { WINDOW_TRIES = 3, WINDOW_RETRY_MS = 200 };

static int registerWindowClass(const char *name) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = countingWindowProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0 ||
         GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

/* Wine's null graphics driver needs no display for visible windows. */
static HWND createWindow(const char *className, const char *title,
                         HWND parent) {
  DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
  return CreateWindowExA(0, className, title, style, 0, 0, 100, 30, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

/* The plug-in searches the way the shell's clock is found; another
 * taskbar found first would take the messages. */
static int foundFirst(const StandInTaskbar *taskbar) {
  return FindWindowA("Shell_TrayWnd", "") == taskbar->tray &&
         FindWindowExA(taskbar->tray, nullptr, "TrayNotifyWnd", "") ==
             taskbar->notify &&
         FindWindowExA(taskbar->notify, nullptr, "TrayClockWClass", nullptr) ==
             taskbar->clock;
}

int kitCreateTaskbar(StandInTaskbar *taskbar, char *reason, size_t reasonSize) {
  *taskbar = StandInTaskbar();
  if (!registerWindowClass("Shell_TrayWnd") ||
      !registerWindowClass("TrayNotifyWnd") ||
      !registerWindowClass("TrayClockWClass")) {
    kitDescribeLastError("RegisterClassA", reason, reasonSize);
    return 0;
  }
  /* Under load Wine has been seen to refuse a new desktop's first window
   * (error 0) and then take the next: a few tries before giving up. */
  for (int tries = 0; tries < WINDOW_TRIES && !taskbar->clock; tries++) {
    if (tries > 0) {
      kitDestroyTaskbar(taskbar);
      Sleep(WINDOW_RETRY_MS);
    }
    taskbar->tray = createWindow("Shell_TrayWnd", "", nullptr);
    taskbar->notify = createWindow("TrayNotifyWnd", "", taskbar->tray);
    /* The shell's clock window carries the time as its text. */
    taskbar->clock = createWindow("TrayClockWClass", "12:34", taskbar->notify);
  }
  clockWindow = taskbar->clock;
  kitResetClockMessages();
  if (!taskbar->tray || !taskbar->notify || !taskbar->clock) {
    kitDescribeLastError("creating the taskbar windows", reason, reasonSize);
    return 0;
  }
  if (!foundFirst(taskbar)) {
    snprintf(reason, reasonSize, "another taskbar is found before this one");
    return 0;
  }
  return 1;
}

void kitDestroyTaskbar(StandInTaskbar *taskbar) {
  if (taskbar->tray)
    DestroyWindow(taskbar->tray); /* and its children with it */
  *taskbar = StandInTaskbar();
  clockWindow = nullptr;
}

ClockMessages kitClockMessages(void) { return received; }

void kitResetClockMessages(void) { received = ClockMessages(); }
