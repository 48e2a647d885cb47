/*
 * The sim's display: one monitor, and a window that keeps the last frame
 * it was shown until it is closed.
 */
#include "platform/platform.h"
#include "sim/sim.h"

struct SimDisplay {
  DisplayMonitor monitor;
  DisplayFrame last;
  unsigned frames;
  int open;
  int fail;
};

static const DisplayMonitor DEFAULT_MONITOR = {{0, 0, 1920, 1040}, 96};

static SimDisplay display = {DEFAULT_MONITOR, DisplayFrame(), 0, 0, 0};

extern "C" void simDisplayReset(void) {
  display = SimDisplay();
  display.monitor = DEFAULT_MONITOR;
}

extern "C" void simDisplaySetMonitor(const DisplayMonitor *monitor) {
  display.monitor = *monitor;
}

extern "C" void simDisplayFail(int which) { display.fail = which; }

extern "C" unsigned simDisplayFrames(void) { return display.frames; }

extern "C" const DisplayFrame *simDisplayLastFrame(void) {
  return &display.last;
}

extern "C" int simDisplayOpen(void) { return display.open; }

static int foundMonitor(DisplayMonitor *monitor) {
  if (display.fail == 1)
    return 0;
  *monitor = display.monitor;
  return 1;
}

/* At once, on the caller's thread. */
int platformShowDisplay(const void *view, uint32_t viewSize,
                        DisplayLayout layout) {
  DisplayMonitor monitor;
  if (display.fail == 2 || viewSize > DISPLAY_VIEW_LIMIT ||
      !foundMonitor(&monitor))
    return 0;
  layout(view, &monitor, &display.last);
  display.frames++;
  display.open = 1;
  return 1;
}

void platformCloseDisplay(void) { display.open = 0; }
