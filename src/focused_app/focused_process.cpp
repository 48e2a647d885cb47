/*
 * Which program is in the foreground, and what executable a process runs.
 */
#include "focused_app/focused_process.h"

#include "platform/platform.h"

/* A Store app's window lives in a frame of ApplicationFrameHost's; the
 * app's own window is a child of the frame, made by the app's process. */
static const char FRAME_CLASS[] = "ApplicationFrameWindow";
static const char CORE_WINDOW_CLASS[] = "Windows.UI.Core.CoreWindow";

enum { CLASS_NAME_SIZE = 64, MAX_FRAME_CHILDREN = 64 };

static uint16_t foldAscii(uint16_t unit) {
  return unit >= 'A' && unit <= 'Z' ? (uint16_t)(unit - 'A' + 'a') : unit;
}

/* Window classes are told apart without regard to case. */
static int isClass(WindowHandle window, const char *className) {
  char name[CLASS_NAME_SIZE];
  if (platformWindowClass(window, name, CLASS_NAME_SIZE) == 0)
    return 0;
  uint32_t i = 0;
  while (name[i] != '\0' &&
         foldAscii((uint8_t)name[i]) == foldAscii((uint8_t)className[i]))
    i++;
  return name[i] == className[i];
}

/* While an app starts, or after it was suspended, the frame holds no
 * window of the app's; then the frame's own process stands. */
static uint32_t appInsideFrame(WindowHandle frame, uint32_t frameProcess) {
  WindowHandle child = 0;
  for (int k = 0; k < MAX_FRAME_CHILDREN; k++) {
    child = platformNextChildWindow(frame, child, CORE_WINDOW_CLASS);
    if (!child)
      break;
    uint32_t process = platformWindowProcess(child);
    if (process != 0 && process != frameProcess)
      return process;
  }
  return frameProcess;
}

uint32_t focusedProcess(void) {
  WindowHandle window = platformForegroundWindow();
  if (!window)
    return 0;
  uint32_t process = platformWindowProcess(window);
  if (process == 0)
    return 0;
  return isClass(window, FRAME_CLASS) ? appInsideFrame(window, process)
                                      : process;
}

int lookAtProcess(uint32_t processId, uint16_t path[IMAGE_PATH_SIZE],
                  uint64_t *started) {
  ProcessHandle process = platformOpenProcess(processId);
  if (!process)
    return 0;
  uint32_t length =
      path ? platformProcessImageName(process, path, IMAGE_PATH_SIZE) : 0;
  int looked = length > 0 && length < IMAGE_PATH_SIZE ? LOOKED_IMAGE : 0;
  if (started && platformProcessStarted(process, started))
    looked |= LOOKED_START;
  platformCloseProcess(process);
  return looked;
}

int samePath(const uint16_t *first, const uint16_t *second) {
  uint32_t i = 0;
  while (first[i] != 0 && foldAscii(first[i]) == foldAscii(second[i]))
    i++;
  return foldAscii(first[i]) == foldAscii(second[i]);
}

/* "C:\Program Files\Mozilla Firefox\firefox.exe" shows as "firefox". */
void processName(uint32_t processId, uint16_t *name, uint32_t size) {
  uint16_t path[IMAGE_PATH_SIZE];
  name[0] = 0;
  if (processId == 0 || !lookAtProcess(processId, path, nullptr))
    return;
  uint32_t start = 0, end = 0, i = 0;
  for (; path[i] != 0; i++) {
    if (path[i] == '\\' || path[i] == '/')
      start = i + 1;
    else if (path[i] == '.')
      end = i;
  }
  if (end <= start)
    end = i;
  uint32_t length = 0;
  while (start + length < end && length + 1 < size) {
    name[length] = path[start + length];
    length++;
  }
  /* A cut between the two halves of a surrogate pair leaves no half. */
  if (start + length < end && length > 0 &&
      (name[length - 1] & 0xFC00) == 0xD800)
    length--;
  name[length] = 0;
}
