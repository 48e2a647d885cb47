#include "clock_thread.h"

/* Handles everything already waiting, sent messages included. */
static void drainMessages(void) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&message);
}

static DWORD WINAPI clockThreadMain(void *parameter) {
  ClockThread *clock = (ClockThread *)parameter;
  /* A new thread starts on the process's first desktop, not on the
   * private one the test thread moved to. */
  char reason[256];
  clock->created = SetThreadDesktop(clock->desktop) &&
                   kitCreateTaskbar(&clock->taskbar, reason, sizeof reason);
  SetEvent(clock->ready);
  if (clock->created) {
    if (clock->mode == CLOCK_PUMPS_MESSAGES) {
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    } else {
      WaitForSingleObject(clock->release, INFINITE);
      drainMessages();
    }
  }
  kitDestroyTaskbar(&clock->taskbar);
  return 0;
}

bool startClockThread(ClockThread *clock, ClockThreadMode mode) {
  *clock = ClockThread();
  clock->mode = mode;
  clock->desktop = GetThreadDesktop(GetCurrentThreadId());
  clock->ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  clock->release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!clock->ready || !clock->release)
    return false;
  clock->thread =
      CreateThread(nullptr, 0, clockThreadMain, clock, 0, &clock->threadId);
  if (!clock->thread)
    return false;
  WaitForSingleObject(clock->ready, INFINITE);
  return clock->created;
}

void stopClockThread(ClockThread *clock) {
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
