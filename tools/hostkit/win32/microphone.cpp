/*
 * The default recording devices seen through the kit's own Core Audio
 * calls, as a witness of the plug-in's microphone commands: written out
 * here rather than borrowed from the plug-in (only the identifiers are
 * shared), so that a test does not trust the code it checks.
 */
#define CINTERFACE
#define COBJMACROS
#include "hostkit/hostkit.h"

#include <objbase.h>

#include <initializer_list>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include "platform/win32/core_audio_ids.h"

int kitWideToUtf8(const WCHAR *text, char *utf8, size_t size) {
  if (size == 0)
    return 0;
  if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, (int)size, nullptr,
                          nullptr))
    return 1;
  utf8[0] = '\0';
  return 0;
}

int kitDeviceName(IMMDevice *device, WCHAR *name, size_t size) {
  IPropertyStore *store = nullptr;
  if (FAILED(IMMDevice_OpenPropertyStore(device, STGM_READ, &store)) || !store)
    return 0;
  PROPVARIANT value;
  PropVariantInit(&value);
  int found =
      SUCCEEDED(IPropertyStore_GetValue(store, DEVICE_FRIENDLY_NAME, &value)) &&
      value.vt == VT_LPWSTR && value.pwszVal;
  if (found)
    lstrcpynW(name, value.pwszVal, (int)size);
  PropVariantClear(&value);
  IPropertyStore_Release(store);
  return found;
}

/* The friendly name, or the id where the device has no readable name. */
static void nameOf(IMMDevice *device, const WCHAR *id, WCHAR *name,
                   size_t size) {
  if (!kitDeviceName(device, name, size))
    lstrcpynW(name, id, (int)size);
}

static HRESULT readMute(IMMDevice *device, int *muted) {
  IAudioEndpointVolume *volume = nullptr;
  HRESULT result =
      IMMDevice_Activate(device, ENDPOINT_VOLUME_INTERFACE,
                         CLSCTX_INPROC_SERVER, nullptr, (void **)&volume);
  BOOL value = FALSE;
  if (SUCCEEDED(result))
    result = IAudioEndpointVolume_GetMute(volume, &value);
  if (volume)
    IAudioEndpointVolume_Release(volume);
  *muted = value != FALSE;
  return result;
}

/* The device of one role, unless it has the id already seen. */
static int readRole(IMMDeviceEnumerator *enumerator, ERole role, WCHAR *firstId,
                    RecordingDeviceView *view) {
  IMMDevice *device = nullptr;
  if (FAILED(IMMDeviceEnumerator_GetDefaultAudioEndpoint(enumerator, eCapture,
                                                         role, &device)))
    return 0;
  WCHAR *id = nullptr;
  int found = 0;
  if (SUCCEEDED(IMMDevice_GetId(device, &id)) && id &&
      (!firstId[0] || lstrcmpW(id, firstId) != 0)) {
    if (!firstId[0])
      lstrcpynW(firstId, id, 256);
    nameOf(device, id, view->name, sizeof view->name / sizeof view->name[0]);
    found = SUCCEEDED(readMute(device, &view->muted));
  }
  CoTaskMemFree(id);
  IMMDevice_Release(device);
  return found;
}

int kitReadRecordingDevices(RecordingDeviceView *views, int size) {
  HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(entered) && entered != RPC_E_CHANGED_MODE)
    return -1;
  IMMDeviceEnumerator *enumerator = nullptr;
  int count = -1;
  if (SUCCEEDED(CoCreateInstance(
          DEVICE_ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
          DEVICE_ENUMERATOR_INTERFACE, (void **)&enumerator))) {
    WCHAR firstId[256] = L"";
    count = 0;
    for (ERole role : {eConsole, eCommunications})
      if (count < size && readRole(enumerator, role, firstId, &views[count]))
        count++;
    IMMDeviceEnumerator_Release(enumerator);
  }
  if (SUCCEEDED(entered))
    CoUninitialize();
  return count;
}
