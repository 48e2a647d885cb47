/*
 * The sim's processes and application windows: what the foreground window
 * is, which process made a window, a Store app's frame with the app's own
 * window inside it, each process's executable and start behind a handle
 * that must be closed, and the snapshot that names every process with its
 * parent. Any call can be made to fail.
 */
#include <cstring>
#include <strings.h>

#include "platform/platform.h"
#include "sim/sim.h"

enum { SIM_MAX_PROCESS_HANDLES = 32, SIM_MAX_SNAPSHOTS = 4 };

struct SimFocus {
  SimProcess processes[SIM_MAX_PROCESSES];
  unsigned processCount;
  SimAppWindow windows[SIM_MAX_APP_WINDOWS];
  unsigned windowCount;
  WindowHandle foreground;
  int noImageLookup;
  int fails[SIM_FOCUS_OPS];
  unsigned failAfter[SIM_FOCUS_OPS]; /* calls that succeed first */
  unsigned calls[SIM_FOCUS_OPS];
  /* The process each open handle is of; 0 where the slot is free. */
  uint32_t handles[SIM_MAX_PROCESS_HANDLES];
  /* Each open snapshot's next process, 1 past it; 0 where free. */
  unsigned snapshots[SIM_MAX_SNAPSHOTS];
  unsigned misuses;
};

static SimFocus focus;

/* Handles of their own range, apart from the taskbar's windows. */
static const WindowHandle FIRST_APP_WINDOW = 0x20010;
static const ProcessHandle FIRST_PROCESS_HANDLE = 0x30004;
static const ProcessSnapshot FIRST_SNAPSHOT = 0x40008;

void simFocusReset(void) { memset(&focus, 0, sizeof focus); }

SimProcess *simProcessAdd(uint32_t processId, const char *imagePath) {
  if (focus.processCount == SIM_MAX_PROCESSES)
    return nullptr;
  SimProcess *process = &focus.processes[focus.processCount++];
  *process = {processId, imagePath, 1, 0, focus.processCount};
  return process;
}

WindowHandle simAppWindowAdd(WindowHandle parent, const char *className,
                             uint32_t processId) {
  if (focus.windowCount == SIM_MAX_APP_WINDOWS)
    return 0;
  WindowHandle handle = FIRST_APP_WINDOW + 0x10 * focus.windowCount;
  focus.windows[focus.windowCount++] = {handle, parent, className, processId};
  return handle;
}

void simSetForegroundWindow(WindowHandle window) { focus.foreground = window; }
WindowHandle simForegroundWindow(void) { return focus.foreground; }
const SimProcess *simProcessAt(unsigned index) {
  return index < focus.processCount ? &focus.processes[index] : nullptr;
}
const SimAppWindow *simAppWindowAt(unsigned index) {
  return index < focus.windowCount ? &focus.windows[index] : nullptr;
}
void simProcessSetImageLookup(int present) { focus.noImageLookup = !present; }
void simFocusFail(SimFocusOp op, int fail) { simFocusFailAfter(op, 0, fail); }
void simFocusFailAfter(SimFocusOp op, unsigned calls, int fail) {
  focus.fails[op] = fail;
  focus.failAfter[op] = calls;
}
unsigned simFocusCalls(SimFocusOp op) { return focus.calls[op]; }
unsigned simProcessMisuses(void) { return focus.misuses; }

long simProcessOpenHandles(void) {
  long open = 0;
  for (uint32_t process : focus.handles)
    open += process != 0;
  for (unsigned next : focus.snapshots)
    open += next != 0;
  return open;
}

/* Counts the call; whether it is to fail. */
static int failing(SimFocusOp op) {
  focus.calls[op]++;
  if (focus.failAfter[op] > 0) {
    focus.failAfter[op]--;
    return 0;
  }
  return focus.fails[op];
}

static const SimAppWindow *windowOf(WindowHandle handle) {
  for (unsigned i = 0; i < focus.windowCount; i++)
    if (handle && focus.windows[i].handle == handle)
      return &focus.windows[i];
  return nullptr;
}

SimProcess *simProcessOf(uint32_t processId) {
  for (unsigned i = 0; i < focus.processCount; i++)
    if (focus.processes[i].processId == processId)
      return &focus.processes[i];
  return nullptr;
}

static const SimProcess *processOf(uint32_t processId) {
  return simProcessOf(processId);
}

WindowHandle platformForegroundWindow(void) {
  return failing(SIM_FOCUS_FOREGROUND) ? 0 : focus.foreground;
}

uint32_t platformWindowProcess(WindowHandle window) {
  const SimAppWindow *found = windowOf(window);
  return failing(SIM_FOCUS_PROCESS) || !found ? 0 : found->processId;
}

uint32_t platformWindowClass(WindowHandle window, char *name, uint32_t size) {
  const SimAppWindow *found = windowOf(window);
  if (failing(SIM_FOCUS_CLASS) || !found || size == 0)
    return 0;
  size_t length = strlen(found->className);
  if (length >= size)
    length = size - 1;
  memcpy(name, found->className, length);
  name[length] = '\0';
  return (uint32_t)length;
}

/* Like FindWindowExA: the class is matched without regard to case. */
WindowHandle platformNextChildWindow(WindowHandle parent, WindowHandle after,
                                     const char *className) {
  if (failing(SIM_FOCUS_CHILD))
    return 0;
  int started = after == 0;
  for (unsigned i = 0; i < focus.windowCount; i++) {
    const SimAppWindow &window = focus.windows[i];
    if (window.parent == parent && started &&
        strcasecmp(window.className, className) == 0)
      return window.handle;
    started = started || window.handle == after;
  }
  return 0;
}

ProcessHandle platformOpenProcess(uint32_t processId) {
  const SimProcess *process = processOf(processId);
  if (failing(SIM_PROCESS_OPEN) || !process || !process->openable)
    return 0;
  for (unsigned slot = 0; slot < SIM_MAX_PROCESS_HANDLES; slot++)
    if (focus.handles[slot] == 0) {
      focus.handles[slot] = processId;
      return FIRST_PROCESS_HANDLE + 4 * slot;
    }
  return 0;
}

/* The slot of an open handle, or -1 (a misuse). */
static int handleSlot(ProcessHandle handle) {
  ProcessHandle slot = (handle - FIRST_PROCESS_HANDLE) / 4;
  if (handle >= FIRST_PROCESS_HANDLE &&
      (handle - FIRST_PROCESS_HANDLE) % 4 == 0 &&
      slot < SIM_MAX_PROCESS_HANDLES && focus.handles[slot] != 0)
    return (int)slot;
  focus.misuses++;
  return -1;
}

uint32_t platformProcessImageName(ProcessHandle handle, uint16_t *path,
                                  uint32_t size) {
  int slot = handleSlot(handle);
  if (failing(SIM_PROCESS_IMAGE) || slot < 0 || focus.noImageLookup)
    return 0;
  const SimProcess *process = processOf(focus.handles[slot]);
  if (!process || !process->imagePath)
    return 0;
  size_t length = strlen(process->imagePath);
  if (length >= size)
    return 0;
  for (size_t i = 0; i <= length; i++)
    path[i] = (uint8_t)process->imagePath[i];
  return (uint32_t)length;
}

int platformProcessStarted(ProcessHandle handle, uint64_t *started) {
  int slot = handleSlot(handle);
  if (failing(SIM_PROCESS_TIMES) || slot < 0)
    return 0;
  const SimProcess *process = processOf(focus.handles[slot]);
  if (!process)
    return 0;
  *started = process->started;
  return 1;
}

void platformCloseProcess(ProcessHandle handle) {
  failing(SIM_PROCESS_CLOSE);
  int slot = handleSlot(handle);
  if (slot >= 0)
    focus.handles[slot] = 0;
}

ProcessSnapshot platformSnapshotProcesses(void) {
  if (failing(SIM_PROCESS_SNAPSHOT))
    return 0;
  for (unsigned slot = 0; slot < SIM_MAX_SNAPSHOTS; slot++)
    if (focus.snapshots[slot] == 0) {
      focus.snapshots[slot] = 1;
      return FIRST_SNAPSHOT + 4 * slot;
    }
  return 0;
}

/* The slot of an open snapshot, or -1 (a misuse). */
static int snapshotSlot(ProcessSnapshot snapshot) {
  ProcessSnapshot slot = (snapshot - FIRST_SNAPSHOT) / 4;
  if (snapshot >= FIRST_SNAPSHOT && (snapshot - FIRST_SNAPSHOT) % 4 == 0 &&
      slot < SIM_MAX_SNAPSHOTS && focus.snapshots[slot] != 0)
    return (int)slot;
  focus.misuses++;
  return -1;
}

int platformSnapshotProcess(ProcessSnapshot snapshot, int first,
                            ProcessEntry *entry) {
  int slot = snapshotSlot(snapshot);
  if (failing(SIM_PROCESS_WALK) || slot < 0)
    return 0;
  unsigned index = first ? 0 : focus.snapshots[slot] - 1;
  if (index >= focus.processCount)
    return 0;
  focus.snapshots[slot] = index + 2;
  const SimProcess &process = focus.processes[index];
  entry->processId = process.processId;
  entry->parentId = process.parentId;
  const char *file = simProcessFile(&process);
  size_t i = 0;
  for (; file[i] != '\0' && i + 1 < PROCESS_FILE_SIZE; i++)
    entry->file[i] = (uint8_t)file[i];
  entry->file[i] = 0;
  return 1;
}

void platformCloseSnapshot(ProcessSnapshot snapshot) {
  failing(SIM_PROCESS_CLOSE);
  int slot = snapshotSlot(snapshot);
  if (slot >= 0)
    focus.snapshots[slot] = 0;
}
