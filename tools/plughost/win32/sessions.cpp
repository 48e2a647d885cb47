/*
 * `plughost sessions` on Windows: the sessions of every active playback
 * device through plughost's own Core Audio calls, the foreground window
 * through user32 and each process's executable, start, parent and file
 * name through kernel32 (a Toolhelp snapshot for the last two). The
 * calls are written out here rather than borrowed from the plug-in, so
 * that the listing can show where the plug-in goes wrong.
 */
#define CINTERFACE
#define COBJMACROS
#include <windows.h>

#include <objbase.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include "hostkit/hostkit.h"
#include "platform/win32/core_audio_ids.h"
#include "plughost/sessions.h"

static HRESULT entered = E_FAIL;

int hostOpenSessions(void *, char *reason, size_t reasonSize) {
  entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(entered) && entered != RPC_E_CHANGED_MODE) {
    snprintf(reason, reasonSize, "COM refused: 0x%08lX",
             (unsigned long)entered);
    return 0;
  }
  return 1;
}

static HANDLE snapshot = INVALID_HANDLE_VALUE;

void hostCloseSessions(void) {
  if (SUCCEEDED(entered))
    CoUninitialize();
  entered = E_FAIL;
  if (snapshot != INVALID_HANDLE_VALUE)
    CloseHandle(snapshot);
  snapshot = INVALID_HANDLE_VALUE;
}

static void readVolume(IAudioSessionControl2 *control, SessionReport *report) {
  ISimpleAudioVolume *volume = nullptr;
  if (FAILED(IAudioSessionControl2_QueryInterface(
          control, SIMPLE_VOLUME_INTERFACE, (void **)&volume)))
    return;
  BOOL muted = FALSE;
  report->volumeKnown =
      SUCCEEDED(ISimpleAudioVolume_GetMasterVolume(volume, &report->volume)) &&
      SUCCEEDED(ISimpleAudioVolume_GetMute(volume, &muted));
  report->muted = muted != FALSE;
  ISimpleAudioVolume_Release(volume);
}

static void readSession(IAudioSessionControl2 *control, SessionReport *report) {
  DWORD process = 0;
  AudioSessionState state = AudioSessionStateInactive;
  HRESULT result = IAudioSessionControl2_GetProcessId(control, &process);
  if (SUCCEEDED(result))
    result = IAudioSessionControl2_GetState(control, &state);
  report->error = (uint32_t)result;
  if (FAILED(result))
    return;
  report->kind = SESSION_READ;
  report->processId = process;
  report->state = (int32_t)state;
  report->systemSounds =
      IAudioSessionControl2_IsSystemSoundsSession(control) == S_OK;
  LPWSTR name = nullptr;
  if (SUCCEEDED(IAudioSessionControl2_GetDisplayName(control, &name)) && name) {
    kitWideToUtf8(name, report->displayName, sizeof report->displayName);
    CoTaskMemFree(name);
  }
  hostProcessExecutable(process, report->executable, sizeof report->executable);
  readVolume(control, report);
}

struct Reading {
  SessionReport *reports;
  unsigned max, *count, *notShown;
  int complete;
};

/* The next report, or null past max (counted as not shown). */
static SessionReport *nextReport(Reading *reading, uint32_t device) {
  if (*reading->count == reading->max) {
    ++*reading->notShown;
    return nullptr;
  }
  SessionReport *report = &reading->reports[(*reading->count)++];
  *report = SessionReport();
  report->device = device;
  return report;
}

/* The friendly name, as the Sound control panel shows it; empty where it
 * cannot be read (an unplugged device's often cannot). */
static void deviceName(IMMDevice *device, char *name, size_t size) {
  WCHAR wide[256];
  if (kitDeviceName(device, wide, sizeof wide / sizeof wide[0]))
    kitWideToUtf8(wide, name, size);
}

/* A device or session that could not be read, by the HRESULT of the call
 * that failed (E_POINTER where it succeeded without an interface). */
static SessionReport *reportUnread(Reading *reading, uint32_t device,
                                   ReportKind kind, HRESULT result) {
  reading->complete = 0;
  SessionReport *report = nextReport(reading, device);
  if (report) {
    report->kind = kind;
    report->error = (uint32_t)(FAILED(result) ? result : E_POINTER);
  }
  return report;
}

static void readSessionAt(IAudioSessionEnumerator *sessions, int index,
                          uint32_t device, Reading *reading) {
  IAudioSessionControl *control = nullptr;
  IAudioSessionControl2 *control2 = nullptr;
  HRESULT result =
      IAudioSessionEnumerator_GetSession(sessions, index, &control);
  if (control) {
    result = IAudioSessionControl_QueryInterface(
        control, SESSION_CONTROL2_INTERFACE, (void **)&control2);
    IAudioSessionControl_Release(control);
  }
  SessionReport *report =
      control2 ? nextReport(reading, device)
               : reportUnread(reading, device, SESSION_UNREAD, result);
  if (report && control2) {
    readSession(control2, report);
    reading->complete &= report->kind == SESSION_READ;
  }
  if (report)
    report->position = index;
  if (control2)
    IAudioSessionControl2_Release(control2);
}

static void readDevice(IMMDevice *device, uint32_t index, Reading *reading) {
  IAudioSessionManager2 *manager = nullptr;
  IAudioSessionEnumerator *sessions = nullptr;
  int count = 0;
  HRESULT result =
      IMMDevice_Activate(device, SESSION_MANAGER_INTERFACE,
                         CLSCTX_INPROC_SERVER, nullptr, (void **)&manager);
  if (SUCCEEDED(result))
    result = IAudioSessionManager2_GetSessionEnumerator(manager, &sessions);
  if (SUCCEEDED(result))
    result = IAudioSessionEnumerator_GetCount(sessions, &count);
  if (FAILED(result)) {
    SessionReport *report = reportUnread(reading, index, DEVICE_UNREAD, result);
    if (report)
      deviceName(device, report->displayName, sizeof report->displayName);
  }
  for (int i = 0; SUCCEEDED(result) && i < count; i++)
    readSessionAt(sessions, i, index, reading);
  if (sessions)
    IAudioSessionEnumerator_Release(sessions);
  if (manager)
    IAudioSessionManager2_Release(manager);
}

/* The active playback devices, or the report of why they cannot be had. */
static IMMDeviceCollection *listDevices(Reading *reading, UINT *found) {
  IMMDeviceEnumerator *enumerator = nullptr;
  IMMDeviceCollection *collection = nullptr;
  HRESULT result =
      CoCreateInstance(DEVICE_ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                       DEVICE_ENUMERATOR_INTERFACE, (void **)&enumerator);
  if (SUCCEEDED(result))
    result = IMMDeviceEnumerator_EnumAudioEndpoints(
        enumerator, eRender, DEVICE_STATE_ACTIVE, &collection);
  if (SUCCEEDED(result))
    result = IMMDeviceCollection_GetCount(collection, found);
  if (enumerator)
    IMMDeviceEnumerator_Release(enumerator);
  if (SUCCEEDED(result))
    return collection;
  reportUnread(reading, NO_DEVICE, DEVICE_UNREAD, result);
  if (collection)
    IMMDeviceCollection_Release(collection);
  return nullptr;
}

int hostReadSessions(SessionReport *reports, unsigned max, unsigned *count,
                     unsigned *notShown) {
  *count = *notShown = 0;
  Reading reading = {reports, max, count, notShown, 1};
  UINT found = 0;
  IMMDeviceCollection *collection = listDevices(&reading, &found);
  for (UINT d = 0; collection && d < found; d++) {
    IMMDevice *device = nullptr;
    HRESULT result = IMMDeviceCollection_Item(collection, d, &device);
    if (SUCCEEDED(result) && device)
      readDevice(device, d, &reading);
    else
      reportUnread(&reading, d, DEVICE_UNREAD, result);
    if (device)
      IMMDevice_Release(device);
  }
  if (collection)
    IMMDeviceCollection_Release(collection);
  return reading.complete;
}

uintptr_t hostForegroundWindow(void) {
  return (uintptr_t)GetForegroundWindow();
}

uint32_t hostWindowProcess(uintptr_t window) {
  DWORD process = 0;
  return GetWindowThreadProcessId((HWND)window, &process) ? process : 0;
}

void hostWindowClass(uintptr_t window, char *name, size_t size) {
  if (!GetClassNameA((HWND)window, name, (int)size))
    name[0] = '\0';
}

uintptr_t hostNextChildWindow(uintptr_t parent, uintptr_t after,
                              const char *className) {
  return (uintptr_t)FindWindowExA((HWND)parent, (HWND)after, className,
                                  nullptr);
}

int hostProcessExecutable(uint32_t processId, char *path, size_t size) {
  HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process)
    return 0;
  WCHAR wide[SESSION_TEXT_SIZE];
  DWORD length = SESSION_TEXT_SIZE;
  BOOL read = QueryFullProcessImageNameW(process, 0, wide, &length);
  CloseHandle(process);
  if (read)
    kitWideToUtf8(wide, path, size);
  return read && path[0];
}

/* The process's entry in the snapshot, taken when first needed. */
static int snapshotEntry(uint32_t processId, PROCESSENTRY32W *entry) {
  if (snapshot == INVALID_HANDLE_VALUE)
    snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  entry->dwSize = sizeof *entry;
  for (BOOL more =
           snapshot != INVALID_HANDLE_VALUE && Process32FirstW(snapshot, entry);
       more; more = Process32NextW(snapshot, entry))
    if (entry->th32ProcessID == processId)
      return 1;
  return 0;
}

uint32_t hostParentProcess(uint32_t processId) {
  PROCESSENTRY32W entry;
  return snapshotEntry(processId, &entry) ? entry.th32ParentProcessID : 0;
}

int hostProcessFile(uint32_t processId, uint16_t *file, size_t size) {
  PROCESSENTRY32W entry;
  int listed = snapshotEntry(processId, &entry);
  size_t i = 0;
  for (; listed && entry.szExeFile[i] != 0 && i + 1 < size; i++)
    file[i] = entry.szExeFile[i];
  file[i] = 0;
  return listed;
}

int hostProcessStarted(uint32_t processId, uint64_t *started) {
  HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  FILETIME times[4];
  BOOL read = process && GetProcessTimes(process, &times[0], &times[1],
                                         &times[2], &times[3]);
  if (process)
    CloseHandle(process);
  if (read)
    *started = (uint64_t)times[0].dwHighDateTime << 32 | times[0].dwLowDateTime;
  return read;
}

void hostErrorText(uint32_t error, char *text, size_t size) {
  WCHAR message[SESSION_TEXT_SIZE] = L"";
  text[0] = '\0';
  if (!FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM |
                          FORMAT_MESSAGE_IGNORE_INSERTS,
                      nullptr, error, 0, message, SESSION_TEXT_SIZE, nullptr))
    return;
  kitWideToUtf8(message, text, size);
  /* System messages end in a line break. */
  for (size_t end = strlen(text);
       end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r');)
    text[--end] = '\0';
}
