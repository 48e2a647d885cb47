/*
 * `plughost sessions` off Windows: the simulated sessions, processes and
 * windows inside the loaded plug-in, read through the stand-in controls
 * it exports.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/posix/simulated.h"
#include "platform/standin/standin.h"
#include "plughost/sessions.h"

static struct {
  decltype(simSessionAt) *sessionAt;
  decltype(simForegroundWindow) *foreground;
  decltype(simProcessAt) *processAt;
  decltype(simAppWindowAt) *windowAt;
} simulation;

template <typename Function>
static int bind(void *plugin, const char *name, Function **function) {
  *function = kitSimulated<Function>(plugin, name);
  return *function != nullptr;
}

int hostOpenSessions(void *plugin, char *reason, size_t reasonSize) {
  int found = bind(plugin, "simSessionAt", &simulation.sessionAt) &
              bind(plugin, "simForegroundWindow", &simulation.foreground) &
              bind(plugin, "simProcessAt", &simulation.processAt) &
              bind(plugin, "simAppWindowAt", &simulation.windowAt);
  if (!found)
    snprintf(reason, reasonSize, "the library has no simulated Core Audio");
  return found;
}

void hostCloseSessions(void) { memset(&simulation, 0, sizeof simulation); }

/* The simulation's sessions as they stand, each device by its number. */
int hostReadSessions(SessionReport *reports, unsigned max, unsigned *count,
                     unsigned *notShown) {
  *count = *notShown = 0;
  for (unsigned i = 0; const SimSession *session = simulation.sessionAt(i);
       i++) {
    if (*count == max) {
      ++*notShown;
      continue;
    }
    SessionReport *report = &reports[(*count)++];
    *report = SessionReport();
    report->device = (uint32_t)session->endpoint;
    report->answered = 1;
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
  return 1;
}

uintptr_t hostForegroundWindow(void) { return simulation.foreground(); }

static const SimAppWindow *windowOf(uintptr_t handle) {
  for (unsigned i = 0; const SimAppWindow *window = simulation.windowAt(i); i++)
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
  for (unsigned i = 0; const SimAppWindow *window = simulation.windowAt(i);
       i++) {
    if (started && window->parent == parent &&
        strcmp(window->className, className) == 0)
      return window->handle;
    started = started || window->handle == after;
  }
  return 0;
}

int hostProcessExecutable(uint32_t processId, char *path, size_t size) {
  for (unsigned i = 0; const SimProcess *process = simulation.processAt(i); i++)
    if (process->processId == processId && process->imagePath &&
        process->openable)
      return (size_t)snprintf(path, size, "%s", process->imagePath) < size;
  return 0;
}
