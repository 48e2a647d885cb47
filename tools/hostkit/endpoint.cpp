/*
 * The default playback endpoint seen through the kit's own Core Audio
 * calls, written out here rather than borrowed from the plug-in, and a
 * look at the plug-in's settings file to know whether it uses the
 * endpoint at all.
 */
#define CINTERFACE
#define COBJMACROS
#include "hostkit.h"

#include <objbase.h>

#include <cstring>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

static const CLSID ENUMERATOR_CLASS = {
    0xbcde0395,
    0xe52f,
    0x467c,
    {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
static const IID ENUMERATOR_INTERFACE = {
    0xa95664d2,
    0x9614,
    0x4f35,
    {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
static const IID VOLUME_INTERFACE = {
    0x5cdf2c82,
    0x841e,
    0x4546,
    {0x97, 0x22, 0x0c, 0xf7, 0x40, 0x78, 0x22, 0x9a}};

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
      CoCreateInstance(ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                       ENUMERATOR_INTERFACE, (void **)&enumerator);
  if (SUCCEEDED(result))
    result = IMMDeviceEnumerator_GetDefaultAudioEndpoint(enumerator, eRender,
                                                         eConsole, &device);
  if (SUCCEEDED(result))
    result = IMMDevice_Activate(device, VOLUME_INTERFACE, CLSCTX_INPROC_SERVER,
                                nullptr, (void **)&volume);
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
  return kitSettingsPath(plugin, path, sizeof path) &&
         GetPrivateProfileIntA("Setting", "VolEndpoint", 0, path) == 1;
}
