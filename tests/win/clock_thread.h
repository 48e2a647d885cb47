/*
 * The stand-in taskbar on a thread of its own, as the shell's windows
 * belong to another thread than the host's: the plug-in's message then
 * crosses threads and waits for the clock's thread to take it. The thread
 * either pumps its messages or, once its windows exist, stops answering
 * altogether (blocked on an event, as a hung shell is).
 */
#ifndef VOLUME_WIN_TESTS_CLOCK_THREAD_H
#define VOLUME_WIN_TESTS_CLOCK_THREAD_H

#include <windows.h>

#include "hostkit/hostkit.h"

enum ClockThreadMode { CLOCK_PUMPS_MESSAGES, CLOCK_STOPS_ANSWERING };

struct ClockThread {
  ClockThreadMode mode;
  HDESK desktop; /* the test thread's, where the plug-in searches */
  HANDLE thread;
  DWORD threadId;
  HANDLE ready;   /* set once the windows exist (or failed to) */
  HANDLE release; /* lets a thread that stopped answering go on */
  bool created;
  StandInTaskbar taskbar;
};

/* Starts the thread and waits until its taskbar exists. */
bool startClockThread(ClockThread *clock, ClockThreadMode mode);
/* Lets the thread answer again, has it destroy its windows, and waits for
 * it to end. */
void stopClockThread(ClockThread *clock);

#endif
