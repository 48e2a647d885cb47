/*
 * `plughost sessions` on Windows: the sessions of every active playback
 * device through plughost's own Core Audio calls, the foreground window
 * through user32 and each process's executable through kernel32. The
 * calls are written out here rather than borrowed from the plug-in, so
 * that the listing can show where the plug-in goes wrong.
 */
#define CINTERFACE
#define COBJMACROS
#include <windows.h>

#include <objbase.h>

#include <cstdio>

#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>

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

void hostCloseSessions(void) {
  if (SUCCEEDED(entered))
    CoUninitialize();
  entered = E_FAIL;
}

static void wideToUtf8(const WCHAR *text, char *utf8, size_t size) {
  if (!WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, (int)size, nullptr,
                           nullptr))
    utf8[0] = '\0';
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
  report->answered = SUCCEEDED(result);
  report->error = (uint32_t)result;
  if (!report->answered)
    return;
  report->processId = process;
  report->state = (int32_t)state;
  report->systemSounds =
      IAudioSessionControl2_IsSystemSoundsSession(control) == S_OK;
  LPWSTR name = nullptr;
  if (SUCCEEDED(IAudioSessionControl2_GetDisplayName(control, &name)) && name) {
    wideToUtf8(name, report->displayName, sizeof report->displayName);
    CoTaskMemFree(name);
  }
  hostProcessExecutable(process, report->executable, sizeof report->executable);
  readVolume(control, report);
}

struct Reading {
  SessionReport *reports;
  unsigned max, *count, *notShown;
};

static HRESULT readDevice(IMMDevice *device, uint32_t index, Reading *reading) {
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
  for (int i = 0; SUCCEEDED(result) && i < count; i++) {
    if (*reading->count == reading->max) {
      ++*reading->notShown;
      continue;
    }
    SessionReport *report = &reading->reports[(*reading->count)++];
    *report = SessionReport();
    report->device = index;
    IAudioSessionControl *control = nullptr;
    IAudioSessionControl2 *control2 = nullptr;
    report->error =
        (uint32_t)IAudioSessionEnumerator_GetSession(sessions, i, &control);
    if (control) {
      report->error = (uint32_t)IAudioSessionControl_QueryInterface(
          control, SESSION_CONTROL2_INTERFACE, (void **)&control2);
      IAudioSessionControl_Release(control);
    }
    if (control2) {
      readSession(control2, report);
      IAudioSessionControl2_Release(control2);
    }
  }
  if (sessions)
    IAudioSessionEnumerator_Release(sessions);
  if (manager)
    IAudioSessionManager2_Release(manager);
  return result;
}

int hostReadSessions(SessionReport *reports, unsigned max, unsigned *count,
                     unsigned *notShown) {
  *count = *notShown = 0;
  Reading reading = {reports, max, count, notShown};
  IMMDeviceEnumerator *enumerator = nullptr;
  IMMDeviceCollection *collection = nullptr;
  UINT found = 0;
  HRESULT result =
      CoCreateInstance(DEVICE_ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                       DEVICE_ENUMERATOR_INTERFACE, (void **)&enumerator);
  if (SUCCEEDED(result))
    result = IMMDeviceEnumerator_EnumAudioEndpoints(
        enumerator, eRender, DEVICE_STATE_ACTIVE, &collection);
  if (SUCCEEDED(result))
    result = IMMDeviceCollection_GetCount(collection, &found);
  int complete = SUCCEEDED(result);
  for (UINT d = 0; complete && d < found; d++) {
    IMMDevice *device = nullptr;
    if (FAILED(IMMDeviceCollection_Item(collection, d, &device)) || !device) {
      complete = 0;
      continue;
    }
    complete &= SUCCEEDED(readDevice(device, d, &reading));
    IMMDevice_Release(device);
  }
  if (collection)
    IMMDeviceCollection_Release(collection);
  if (enumerator)
    IMMDeviceEnumerator_Release(enumerator);
  return complete;
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
    wideToUtf8(wide, path, size);
  return read && path[0];
}
