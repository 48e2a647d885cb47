/*
 * The rest of the platform on Windows: kernel32's profile reader, module
 * name, heap and clock, version.dll, and user32's windows.
 */
#include <windows.h>

#include <cstring>

#include "platform/platform.h"

int32_t platformProfileInt(const char *section, const char *key,
                           int32_t defaultValue, const char *path) {
  return (int32_t)GetPrivateProfileIntA(section, key, defaultValue, path);
}

uint32_t platformProfileString(const char *section, const char *key,
                               char *buffer, uint32_t size, const char *path) {
  if (size == 0)
    return 0;
  return GetPrivateProfileStringA(section, key, "", buffer, size, path);
}

uint32_t platformAnsiToWide(const char *text, uint16_t *wide, uint32_t size) {
  static_assert(sizeof(WCHAR) == sizeof(uint16_t), "UTF-16 units");
  if (size == 0)
    return 0;
  wide[0] = 0;
  int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (needed <= 0)
    return 0;
  if ((uint32_t)needed <= size)
    return MultiByteToWideChar(CP_ACP, 0, text, -1, (WCHAR *)wide, needed) > 0
               ? (uint32_t)needed - 1
               : 0;
  /* Too long: the whole text aside, then cut (the ANSI code pages that
   * have double-byte characters map each to one unit: no pair is split). */
  WCHAR *whole = (WCHAR *)platformAlloc((size_t)needed * sizeof *whole);
  if (!whole)
    return 0;
  uint32_t units = 0;
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, whole, needed) > 0) {
    units = size - 1;
    memcpy(wide, whole, units * sizeof *whole);
  }
  wide[units] = 0;
  platformFree(whole);
  return units;
}

uint32_t platformWideToAnsi(const uint16_t *wide, char *text, uint32_t size) {
  if (size == 0)
    return 0;
  text[0] = '\0';
  uint32_t units = 0;
  while (wide[units] != 0)
    units++;
  /* Fewer units each time, until the text fits: a cut never falls inside
   * a double-byte character, and a pair of surrogates goes as one. */
  while (units > 0) {
    int written =
        WideCharToMultiByte(CP_ACP, 0, (const WCHAR *)wide, (int)units, text,
                            (int)size - 1, nullptr, nullptr);
    if (written > 0) {
      text[written] = '\0';
      return (uint32_t)written;
    }
    units -= units > 1 && (wide[units - 1] & 0xFC00) == 0xDC00 ? 2 : 1;
  }
  return 0;
}

void platformDebugOutput(const char *line) { OutputDebugStringA(line); }

uint32_t platformTickCount(void) { return GetTickCount(); }

void platformSleep(uint32_t milliseconds) { Sleep(milliseconds); }

uint32_t platformModuleFileName(void *module, char *buffer, uint32_t size) {
  return GetModuleFileNameA((HMODULE)module, buffer, size);
}

/* The fixed part of a version resource, when the block VerQueryValueA
 * found is large enough and carries the fixed part's signature. */
static int readFixedVersion(void *data, uint32_t *versionMS,
                            uint32_t *versionLS) {
  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data, "\\", (void **)&fixed, &length))
    return 0;
  if (!fixed || length < sizeof *fixed || fixed->dwSignature != 0xFEEF04BD)
    return 0;
  *versionMS = fixed->dwFileVersionMS;
  *versionLS = fixed->dwFileVersionLS;
  return 1;
}

int platformFileVersion(const char *fileName, uint32_t *versionMS,
                        uint32_t *versionLS) {
  DWORD size = GetFileVersionInfoSizeA(fileName, nullptr);
  if (size == 0)
    return 0;
  void *data = platformAlloc(size);
  if (!data)
    return 0;
  int found = GetFileVersionInfoA(fileName, 0, size, data) &&
              readFixedVersion(data, versionMS, versionLS);
  platformFree(data);
  return found;
}

void *platformAlloc(size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

void platformFree(void *block) {
  if (block)
    HeapFree(GetProcessHeap(), 0, block);
}

WindowHandle platformFindWindow(const char *className, const char *title) {
  return (WindowHandle)FindWindowA(className, title);
}

WindowHandle platformFindChildWindow(WindowHandle parent, const char *className,
                                     const char *title) {
  return (WindowHandle)FindWindowExA((HWND)parent, nullptr, className, title);
}

/* Longest wait for a window of another thread to take the message. */
static const UINT SEND_TIMEOUT_MS = 1000;

void platformSendMessage(WindowHandle window, uint32_t message,
                         uintptr_t wParam, intptr_t lParam) {
  /* The plug-in runs on the host's thread, and the window belongs to the
   * shell: SendMessageA would wait for good on a shell that has stopped
   * answering. SMTO_ABORTIFHUNG gives up at once on a thread the system
   * already holds for hung, and the timeout bounds the wait for any other.
   * SMTO_NORMAL rather than SMTO_BLOCK: while it waits, the host's thread
   * still handles messages sent to it, as it did under SendMessageA, so a
   * shell that sends to the host before it replies cannot deadlock it. A
   * window of the calling thread gets the message by a direct call, as
   * before, with no timeout. */
  DWORD_PTR reply = 0;
  SendMessageTimeoutA((HWND)window, message, wParam, lParam,
                      SMTO_NORMAL | SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &reply);
}
