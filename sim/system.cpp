/*
 * The module name, the version query, the clock, the heap and the shell's
 * windows off Windows.
 */
#include <dlfcn.h>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "platform/platform.h"
#include "sim/sim.h"

/* ---- Module name ------------------------------------------------------ */

static const char *moduleNameOverride;

void simSetModuleFileName(const char *name) { moduleNameOverride = name; }

static const char *ownModulePath(void) {
  Dl_info info;
  if (!dladdr((void *)&ownModulePath, &info) || !info.dli_fname)
    return "";
  return info.dli_fname;
}

/* Like GetModuleFileNameA: a name that does not fit is cut short, and the
 * buffer's size is returned. */
uint32_t platformModuleFileName(void *, char *buffer, uint32_t size) {
  const char *name = moduleNameOverride ? moduleNameOverride : ownModulePath();
  size_t length = strlen(name);
  if (size == 0)
    return 0;
  if (length >= size) {
    memcpy(buffer, name, size - 1);
    buffer[size - 1] = '\0';
    return size;
  }
  memcpy(buffer, name, length + 1);
  return (uint32_t)length;
}

/* ---- Version resources ------------------------------------------------ */

/* Files off Windows carry no version resource. */
int platformFileVersion(const char *, uint32_t *, uint32_t *) { return 0; }

/* The sim's ANSI code page is 932, a Japanese Windows'. */
uint32_t platformAnsiToWide(const char *text, uint16_t *wide, uint32_t size) {
  if (size == 0)
    return 0;
  wide[0] = 0;
  iconv_t converter = iconv_open("UTF-16LE", "CP932");
  if (converter == (iconv_t)-1)
    return 0;
  char *in = const_cast<char *>(text); /* iconv only reads it */
  size_t inLeft = strlen(text);
  char *out = (char *)wide;
  size_t outLeft = (size - 1) * sizeof *wide;
  size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (converted == (size_t)-1 && inLeft > 0 && errno != E2BIG)
    return 0;
  uint32_t units = (uint32_t)((uint16_t *)out - wide);
  wide[units] = 0;
  return units;
}

/* As WideCharToMultiByte does with the Japanese code page: what CP932
 * lacks becomes "?", and a cut never splits a character. */
uint32_t platformWideToAnsi(const uint16_t *wide, char *text, uint32_t size) {
  if (size == 0)
    return 0;
  iconv_t converter = iconv_open("CP932", "UTF-16LE");
  uint32_t written = 0;
  for (uint32_t i = 0; wide[i] != 0 && converter != (iconv_t)-1;) {
    uint32_t units = (wide[i] & 0xFC00) == 0xD800 && wide[i + 1] != 0 ? 2 : 1;
    char bytes[8];
    char *in = (char *)(wide + i), *out = bytes;
    size_t inLeft = units * sizeof *wide, outLeft = sizeof bytes;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == (size_t)-1) {
      bytes[0] = '?';
      out = bytes + 1;
    }
    uint32_t length = (uint32_t)(out - bytes);
    if (written + length > size - 1)
      break;
    memcpy(text + written, bytes, length);
    written += length;
    i += units;
  }
  if (converter != (iconv_t)-1)
    iconv_close(converter);
  text[written] = '\0';
  return written;
}

/* ---- Debug output ------------------------------------------------------ */

static struct {
  char lines[SIM_DEBUG_LINES][SIM_DEBUG_LINE_SIZE];
  unsigned count; /* lines said since the reset, kept or not */
} debugOutput;

void platformDebugOutput(const char *line) {
  if (debugOutput.count < SIM_DEBUG_LINES)
    snprintf(debugOutput.lines[debugOutput.count], SIM_DEBUG_LINE_SIZE, "%s",
             line);
  debugOutput.count++;
}

void simDebugReset(void) { debugOutput.count = 0; }

unsigned simDebugLineCount(void) { return debugOutput.count; }

const char *simDebugLine(unsigned index) {
  return index < debugOutput.count && index < SIM_DEBUG_LINES
             ? debugOutput.lines[index]
             : nullptr;
}

/* ---- Clock ------------------------------------------------------------ */

/* Time passes only when the plug-in sleeps: a test sees every wait, and
 * none of them takes real time. */
static struct {
  uint32_t ticks;
  uint64_t slept;
} simulatedClock = {0xFFFFF000u, 0}; /* a wrap early on */

uint32_t platformTickCount(void) { return simulatedClock.ticks; }

void platformSleep(uint32_t milliseconds) {
  simulatedClock.ticks += milliseconds;
  simulatedClock.slept += milliseconds;
}

void simClockSet(uint32_t ticks) { simulatedClock.ticks = ticks; }
uint64_t simClockSlept(void) { return simulatedClock.slept; }

/* ---- Heap ------------------------------------------------------------- */

static unsigned long allocations;
static long liveBlocks;
static long failingAllocation = -1;
static int poisonByte = -1;

void simHeapReset(void) {
  allocations = 0;
  liveBlocks = 0;
  failingAllocation = -1;
  poisonByte = -1;
}

void simHeapPoisonNewBlocks(int byte) { poisonByte = byte; }

void simHeapFailAllocation(long index) {
  failingAllocation = index < 0 ? -1 : (long)allocations + index;
}

unsigned long simHeapAllocations(void) { return allocations; }
long simHeapLiveBlocks(void) { return liveBlocks; }

void *platformAlloc(size_t size) {
  if ((long)allocations++ == failingAllocation)
    return nullptr;
  void *block = malloc(size);
  liveBlocks += block != nullptr;
  if (block && poisonByte >= 0)
    memset(block, poisonByte, size);
  return block;
}

void platformFree(void *block) {
  liveBlocks -= block != nullptr;
  free(block);
}

/* ---- Windows ---------------------------------------------------------- */

struct SimWindow {
  WindowHandle handle;
  WindowHandle parent; /* 0: a top-level window */
  const char *className;
  const char *title;
  unsigned clockMessages;
};

enum { SIM_WINDOWS = 3 };

static SimWindow windows[SIM_WINDOWS];
static unsigned windowCalls;

void simWindowsReset(void) {
  static const SimWindow taskbar[SIM_WINDOWS] = {
      {0x10010, 0, "Shell_TrayWnd", "", 0},
      {0x10020, 0x10010, "TrayNotifyWnd", "", 0},
      {0x10030, 0x10020, "TrayClockWClass", "", 0}};
  memcpy(windows, taskbar, sizeof windows);
  windowCalls = 0;
}

[[maybe_unused]] static const int taskbarAtLoad = (simWindowsReset(), 1);

void simWindowsRemove(const char *className) {
  for (SimWindow &window : windows)
    if (window.handle && strcasecmp(window.className, className) == 0) {
      WindowHandle closed = window.handle;
      window.handle = 0;
      for (SimWindow &child : windows)
        if (child.parent == closed)
          simWindowsRemove(child.className);
    }
}

unsigned simTrayClockNotifications(void) { return windows[2].clockMessages; }
unsigned simWindowCalls(void) { return windowCalls; }

static WindowHandle findWindow(WindowHandle parent, const char *className,
                               const char *title) {
  windowCalls++;
  for (const SimWindow &window : windows)
    if (window.handle && window.parent == parent &&
        strcasecmp(window.className, className) == 0 &&
        (!title || strcmp(window.title, title) == 0))
      return window.handle;
  return 0;
}

WindowHandle platformFindWindow(const char *className, const char *title) {
  return findWindow(0, className, title);
}

WindowHandle platformFindChildWindow(WindowHandle parent, const char *className,
                                     const char *title) {
  return findWindow(parent, className, title);
}

void platformSendMessage(WindowHandle target, uint32_t message, uintptr_t,
                         intptr_t) {
  windowCalls++;
  for (SimWindow &window : windows)
    if (target && window.handle == target && message == TRAY_CLOCK_REFRESH)
      window.clockMessages++;
}
