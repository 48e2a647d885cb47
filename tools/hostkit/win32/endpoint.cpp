/*
 * The default playback endpoint seen through the kit's own Core Audio
 * calls, and a look at the plug-in's settings file to know whether it
 * uses the endpoint at all.
 *
 * The calls are written out here rather than borrowed from the plug-in on
 * purpose: a test's witness must not share the code it checks. Only the
 * class and interface identifiers are the plug-in's.
 */
#define CINTERFACE
#define COBJMACROS
#include "hostkit/hostkit.h"

#include <objbase.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include "command/command_settings.h"
#include "platform/win32/core_audio_ids.h"

static HRESULT readVolume(IAudioEndpointVolume *volume, EndpointView *view) {
  HRESULT result =
      IAudioEndpointVolume_GetMasterVolumeLevelScalar(volume, &view->scalar);
  if (FAILED(result))
    return result;
  BOOL muted = FALSE;
  result = IAudioEndpointVolume_GetMute(volume, &muted);
  view->muted = muted != FALSE;
  return result;
}

static HRESULT readDefaultEndpoint(EndpointView *view) {
  IMMDeviceEnumerator *enumerator = nullptr;
  IMMDevice *device = nullptr;
  IAudioEndpointVolume *volume = nullptr;
  HRESULT result =
      CoCreateInstance(DEVICE_ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                       DEVICE_ENUMERATOR_INTERFACE, (void **)&enumerator);
  if (SUCCEEDED(result))
    result = IMMDeviceEnumerator_GetDefaultAudioEndpoint(enumerator, eRender,
                                                         eConsole, &device);
  if (SUCCEEDED(result))
    result =
        IMMDevice_Activate(device, ENDPOINT_VOLUME_INTERFACE,
                           CLSCTX_INPROC_SERVER, nullptr, (void **)&volume);
  if (SUCCEEDED(result))
    result = readVolume(volume, view);
  if (volume)
    IAudioEndpointVolume_Release(volume);
  if (device)
    IMMDevice_Release(device);
  if (enumerator)
    IMMDeviceEnumerator_Release(enumerator);
  return result;
}

HRESULT kitReadEndpoint(EndpointView *view) {
  *view = EndpointView();
  /* Whatever apartment the caller's thread is in serves; one entered here
   * is left here. */
  HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(entered) && entered != RPC_E_CHANGED_MODE)
    return entered;
  HRESULT result = readDefaultEndpoint(view);
  if (SUCCEEDED(entered))
    CoUninitialize();
  return result;
}

int kitPluginUsesEndpoint(HMODULE plugin) {
  char path[MAX_PATH];
  const SettingRow &row = SETTING_ROWS[SETTING_ENDPOINT];
  return kitSettingsPath(plugin, path, sizeof path) &&
         GetPrivateProfileIntA(row.section, row.key, row.whenMissing, path) ==
             row.onValue;
}
