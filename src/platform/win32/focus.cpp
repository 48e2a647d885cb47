/*
 * The foreground window, the process behind a window, a process's
 * executable and start, and the snapshot of every process on Windows
 * (user32, kernel32). QueryFullProcessImageNameW is newer than Windows XP
 * and is looked up when called, so that the plug-in still loads there;
 * the Toolhelp calls and GetProcessTimes are kernel32's on XP too.
 */
#include <windows.h>

#include <tlhelp32.h>

#include <cstring>

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

/* GetProcessTimes takes a handle with PROCESS_QUERY_LIMITED_INFORMATION
 * (Microsoft's page of it); the creation time is the system time when the
 * process was made, which a later change of the clock leaves as it was
 * (the page of PsGetProcessCreateTimeQuadPart, the kernel's own). */
int platformProcessStarted(ProcessHandle process, uint64_t *started) {
  FILETIME times[4];
  if (!GetProcessTimes((HANDLE)process, &times[0], &times[1], &times[2],
                       &times[3]))
    return 0;
  *started = (uint64_t)times[0].dwHighDateTime << 32 | times[0].dwLowDateTime;
  return 1;
}

void platformCloseProcess(ProcessHandle process) {
  CloseHandle((HANDLE)process);
}

ProcessSnapshot platformSnapshotProcesses(void) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  return snapshot == INVALID_HANDLE_VALUE ? 0 : (ProcessSnapshot)snapshot;
}

int platformSnapshotProcess(ProcessSnapshot snapshot, int first,
                            ProcessEntry *entry) {
  static_assert(sizeof entry->file == sizeof PROCESSENTRY32W().szExeFile,
                "the file name whole");
  PROCESSENTRY32W process;
  process.dwSize = sizeof process;
  if (!(first ? Process32FirstW : Process32NextW)((HANDLE)snapshot, &process))
    return 0;
  entry->processId = process.th32ProcessID;
  entry->parentId = process.th32ParentProcessID;
  memcpy(entry->file, process.szExeFile, sizeof entry->file);
  return 1;
}

void platformCloseSnapshot(ProcessSnapshot snapshot) {
  CloseHandle((HANDLE)snapshot);
}
