/*
 * `plughost sessions` off Windows: the sessions, processes and windows of
 * the sim inside the loaded plug-in, read through the controls it exports.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/posix/sim.h"
#include "plughost/sessions.h"
#include "sim/sim.h"

static struct {
  decltype(simSessionAt) *sessionAt;
  decltype(simForegroundWindow) *foreground;
  decltype(simProcessAt) *processAt;
  decltype(simAppWindowAt) *windowAt;
  decltype(simSessionListError) *listError;
} sim;

int hostOpenSessions(void *plugin, char *reason, size_t reasonSize) {
  int found = kitFindSim(plugin, "simSessionAt", &sim.sessionAt) &
              kitFindSim(plugin, "simForegroundWindow", &sim.foreground) &
              kitFindSim(plugin, "simProcessAt", &sim.processAt) &
              kitFindSim(plugin, "simAppWindowAt", &sim.windowAt) &
              kitFindSim(plugin, "simSessionListError", &sim.listError);
  if (!found)
    snprintf(reason, reasonSize, "the library was not built with the sim");
  return found;
}

void hostCloseSessions(void) { memset(&sim, 0, sizeof sim); }

static void readSession(const SimSession *session, int32_t position,
                        SessionReport *report) {
  report->device = (uint32_t)session->endpoint;
  report->position = position;
  report->error = session->processError;
  if (session->processError)
    return;
  report->kind = SESSION_READ;
  report->processId = session->processId;
  report->state = session->state;
  report->systemSounds = session->systemSounds;
  report->volumeKnown = 1;
  report->volume = session->scalar;
  report->muted = session->muted != 0;
  hostProcessExecutable(session->processId, report->executable,
                        sizeof report->executable);
  snprintf(report->displayName, sizeof report->displayName, "%s",
           session->displayName ? session->displayName : "");
}

/* The next report, or null past max (counted as not shown). */
static SessionReport *nextReport(SessionReport *reports, unsigned max,
                                 unsigned *count, unsigned *notShown) {
  if (*count == max) {
    ++*notShown;
    return nullptr;
  }
  reports[*count] = SessionReport();
  return &reports[(*count)++];
}

/* The sim's sessions as they stand, device by device, each device
 * by its number; a device whose session list fails is reported instead. */
int hostReadSessions(SessionReport *reports, unsigned max, unsigned *count,
                     unsigned *notShown) {
  *count = *notShown = 0;
  int complete = 1;
  for (int device = 0; device < SIM_MAX_ENDPOINTS; device++) {
    uint32_t listError = sim.listError(device);
    if (listError) {
      complete = 0;
      if (SessionReport *report = nextReport(reports, max, count, notShown)) {
        report->device = (uint32_t)device;
        report->kind = DEVICE_UNREAD;
        report->error = listError;
      }
      continue;
    }
    int32_t position = 0;
    for (unsigned i = 0; const SimSession *session = sim.sessionAt(i); i++) {
      if (session->endpoint != device)
        continue;
      complete &= session->processError == 0;
      if (SessionReport *report = nextReport(reports, max, count, notShown))
        readSession(session, position, report);
      position++;
    }
  }
  return complete;
}

uintptr_t hostForegroundWindow(void) { return sim.foreground(); }

static const SimAppWindow *windowOf(uintptr_t handle) {
  for (unsigned i = 0; const SimAppWindow *window = sim.windowAt(i); i++)
    if (handle && window->handle == handle)
      return window;
  return nullptr;
}

uint32_t hostWindowProcess(uintptr_t handle) {
  const SimAppWindow *window = windowOf(handle);
  return window ? window->processId : 0;
}

void hostWindowClass(uintptr_t handle, char *name, size_t size) {
  const SimAppWindow *window = windowOf(handle);
  snprintf(name, size, "%s", window ? window->className : "");
}

/* Classes compared as the listing's caller asks for them: exactly. */
uintptr_t hostNextChildWindow(uintptr_t parent, uintptr_t after,
                              const char *className) {
  int started = after == 0;
  for (unsigned i = 0; const SimAppWindow *window = sim.windowAt(i); i++) {
    if (started && window->parent == parent &&
        strcmp(window->className, className) == 0)
      return window->handle;
    started = started || window->handle == after;
  }
  return 0;
}

static const SimProcess *processOf(uint32_t processId) {
  for (unsigned i = 0; const SimProcess *process = sim.processAt(i); i++)
    if (process->processId == processId)
      return process;
  return nullptr;
}

int hostProcessExecutable(uint32_t processId, char *path, size_t size) {
  const SimProcess *process = processOf(processId);
  if (process && process->imagePath && process->openable)
    return (size_t)snprintf(path, size, "%s", process->imagePath) < size;
  return 0;
}

uint32_t hostParentProcess(uint32_t processId) {
  const SimProcess *process = processOf(processId);
  return process ? process->parentId : 0;
}

int hostProcessFile(uint32_t processId, uint16_t *file, size_t size) {
  const SimProcess *process = processOf(processId);
  const char *name = process ? simProcessFile(process) : "";
  size_t i = 0;
  for (; name[i] != '\0' && i + 1 < size; i++)
    file[i] = (uint8_t)name[i];
  file[i] = 0;
  return process != nullptr;
}

int hostProcessStarted(uint32_t processId, uint64_t *started) {
  const SimProcess *process = processOf(processId);
  if (!process || !process->openable)
    return 0;
  *started = process->started;
  return 1;
}

/* The sim has no system messages. */
void hostErrorText(uint32_t, char *text, size_t) { text[0] = '\0'; }
