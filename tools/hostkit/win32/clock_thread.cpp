/*
 * The stand-in taskbar on a thread of its own, as the shell's windows
 * belong to another thread than the host's.
 */
#include "hostkit/hostkit.h"

/* Handles everything already waiting, sent messages included. */
static void drainMessages(void) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&message);
}

static void pumpMessages(void) {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
}

/* Longest wait of a clock for the window it calls back. */
static const UINT CALL_BACK_TIMEOUT_MS = 3000;

/* The clock's own procedure, behind a call to the window named in the
 * thread's record: sent, and waited for, before the clock answers. */
static LRESULT CALLBACK callingBackProcedure(HWND window, UINT message,
                                             WPARAM wParam, LPARAM lParam) {
  ClockThread *clock = (ClockThread *)GetWindowLongPtrA(window, GWLP_USERDATA);
  if (message == TRAY_CLOCK_REFRESH && clock->callBack) {
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(clock->callBack, CLOCK_CALL_BACK, 0, 0, SMTO_NORMAL,
                        CALL_BACK_TIMEOUT_MS, &reply);
  }
  return CallWindowProcA(clock->clockProcedure, window, message, wParam,
                         lParam);
}

static void callBackBeforeAnswering(ClockThread *clock) {
  HWND window = clock->taskbar.clock;
  SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)clock);
  clock->clockProcedure = (WNDPROC)SetWindowLongPtrA(
      window, GWLP_WNDPROC, (LONG_PTR)callingBackProcedure);
}

static DWORD WINAPI clockThreadMain(void *parameter) {
  ClockThread *clock = (ClockThread *)parameter;
  /* A new thread starts on the process's first desktop, not on the
   * private one the starting thread moved to. */
  char reason[256];
  clock->created = SetThreadDesktop(clock->desktop) &&
                   kitCreateTaskbar(&clock->taskbar, reason, sizeof reason);
  if (clock->created && clock->mode == CLOCK_CALLS_BACK)
    callBackBeforeAnswering(clock);
  SetEvent(clock->ready);
  if (clock->created && clock->mode == CLOCK_STOPS_ANSWERING) {
    WaitForSingleObject(clock->release, INFINITE);
    drainMessages();
  } else if (clock->created) {
    pumpMessages();
  }
  kitDestroyTaskbar(&clock->taskbar);
  return 0;
}

int kitStartClockThread(ClockThread *clock, ClockThreadMode mode) {
  *clock = ClockThread();
  clock->mode = mode;
  clock->desktop = GetThreadDesktop(GetCurrentThreadId());
  clock->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  clock->release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!clock->ready || !clock->release)
    return 0;
  clock->thread =
      CreateThread(nullptr, 0, clockThreadMain, clock, 0, &clock->threadId);
  if (!clock->thread)
    return 0;
  WaitForSingleObject(clock->ready, INFINITE);
  return clock->created;
}

void kitStopClockThread(ClockThread *clock) {
  if (clock->thread) {
    SetEvent(clock->release);
    PostThreadMessageA(clock->threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(clock->thread, INFINITE);
    CloseHandle(clock->thread);
  }
  if (clock->ready)
    CloseHandle(clock->ready);
  if (clock->release)
    CloseHandle(clock->release);
  *clock = ClockThread();
}
