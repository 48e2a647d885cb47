/*
 * The foreground window, the process behind a window, and a process's
 * executable on Windows (user32, kernel32). QueryFullProcessImageNameW is
 * newer than Windows XP and is looked up when called, so that the
 * plug-in still loads there.
 */
#include <windows.h>

#include "platform/platform.h"

static_assert(sizeof(WCHAR) == sizeof(uint16_t), "UTF-16 units");

WindowHandle platformNextChildWindow(WindowHandle parent, WindowHandle after,
                                     const char *className) {
  return (WindowHandle)FindWindowExA((HWND)parent, (HWND)after, className,
                                     nullptr);
}

WindowHandle platformForegroundWindow(void) {
  return (WindowHandle)GetForegroundWindow();
}

uint32_t platformWindowProcess(WindowHandle window) {
  DWORD process = 0;
  if (!GetWindowThreadProcessId((HWND)window, &process))
    return 0;
  return process;
}

uint32_t platformWindowClass(WindowHandle window, char *name, uint32_t size) {
  return (uint32_t)GetClassNameA((HWND)window, name, (int)size);
}

static ProcessHandle openProcessForReal(uint32_t access, uint32_t processId) {
  return (ProcessHandle)OpenProcess(access, FALSE, processId);
}

static ProcessOpenCall openProcess = openProcessForReal;

void platformReplaceOpenProcess(ProcessOpenCall call) {
  openProcess = call ? call : openProcessForReal;
}

/* PROCESS_QUERY_LIMITED_INFORMATION (Vista and later), all that
 * QueryFullProcessImageNameW needs, also reaches this user's elevated
 * processes (seen from a host that is not elevated) and protected ones,
 * which refuse the full query right. Not other users' processes: their
 * access lists normally grant this user neither right. */
ProcessHandle platformOpenProcess(uint32_t processId) {
  return openProcess(PROCESS_QUERY_LIMITED_INFORMATION, processId);
}

typedef BOOL(WINAPI *QueryImageNameFunction)(HANDLE, DWORD, LPWSTR, PDWORD);

uint32_t platformProcessImageName(ProcessHandle process, uint16_t *path,
                                  uint32_t size) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  QueryImageNameFunction query =
      kernel ? (QueryImageNameFunction)(void *)GetProcAddress(
                   kernel, "QueryFullProcessImageNameW")
             : nullptr;
  DWORD length = size;
  if (!query || !query((HANDLE)process, 0, (LPWSTR)path, &length))
    return 0;
  return length;
}

void platformCloseProcess(ProcessHandle process) {
  CloseHandle((HANDLE)process);
}
