/*
 * The default playback endpoint on Windows: Core Audio's device
 * enumerator (MMDevAPI), reached through ole32. The interfaces are used
 * through their C method tables: the plug-in calls them, it implements
 * none.
 */
#define CINTERFACE
#define COBJMACROS
#include <windows.h>

#include <objbase.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include "platform/platform.h"

/* Defined here rather than taken from an import library, which would
 * bring along every GUID it holds. */
static const CLSID DEVICE_ENUMERATOR_CLASS = {
    0xbcde0395,
    0xe52f,
    0x467c,
    {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
static const IID DEVICE_ENUMERATOR_INTERFACE = {
    0xa95664d2,
    0x9614,
    0x4f35,
    {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
static const IID ENDPOINT_VOLUME_INTERFACE = {
    0x5cdf2c82,
    0x841e,
    0x4546,
    {0x97, 0x22, 0x0c, 0xf7, 0x40, 0x78, 0x22, 0x9a}};

static_assert((HRESULT)ENDPOINT_ABSENT == REGDB_E_CLASSNOTREG,
              "REGDB_E_CLASSNOTREG");
static_assert((HRESULT)ENDPOINT_OTHER_APARTMENT == RPC_E_CHANGED_MODE,
              "RPC_E_CHANGED_MODE");
static_assert((HRESULT)ENDPOINT_FAILED == E_FAIL, "E_FAIL");

static IAudioEndpointVolume *volumeOf(const EndpointSession *session) {
  return (IAudioEndpointVolume *)session->volume;
}

/* A success that hands back no interface is no success. Checked after
 * the call that fills the pointer, never in the same expression: the
 * order in which arguments are evaluated is not fixed. */
static HRESULT received(HRESULT result, const void *object) {
  return SUCCEEDED(result) && !object ? E_POINTER : result;
}

/* Creation's "class not registered" means Core Audio is absent; the same
 * code from a later step means something else went wrong. */
static HRESULT laterStep(HRESULT result) {
  return result == REGDB_E_CLASSNOTREG ? E_FAIL : result;
}

static HRESULT activateDefaultVolume(IMMDeviceEnumerator *enumerator,
                                     void **volume) {
  IMMDevice *device = nullptr;
  HRESULT result = IMMDeviceEnumerator_GetDefaultAudioEndpoint(
      enumerator, eRender, eConsole, &device);
  result = received(result, device);
  if (FAILED(result))
    return laterStep(result);
  result = IMMDevice_Activate(device, ENDPOINT_VOLUME_INTERFACE,
                              CLSCTX_INPROC_SERVER, nullptr, volume);
  result = received(result, *volume);
  IMMDevice_Release(device);
  return laterStep(result);
}

static HRESULT openVolume(EndpointSession *session) {
  IMMDeviceEnumerator *enumerator = nullptr;
  HRESULT result =
      CoCreateInstance(DEVICE_ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                       DEVICE_ENUMERATOR_INTERFACE, (void **)&enumerator);
  result = received(result, enumerator);
  if (FAILED(result))
    return result;
  result = activateDefaultVolume(enumerator, &session->volume);
  IMMDeviceEnumerator_Release(enumerator);
  return result;
}

EndpointResult platformEndpointBegin(EndpointSession *session) {
  session->volume = nullptr;
  session->leaveCom = 0;
  /* The host's thread may have COM already, of either kind, or none. A
   * thread in a multithreaded apartment refuses this (RPC_E_CHANGED_MODE)
   * and can use COM as it is; every other success is one to undo. */
  HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(entered) && entered != RPC_E_CHANGED_MODE)
    return entered;
  session->leaveCom = SUCCEEDED(entered);
  HRESULT result = openVolume(session);
  if (FAILED(result)) {
    session->volume = nullptr; /* whatever a failed call left there */
    platformEndpointEnd(session);
  }
  return result;
}

void platformEndpointEnd(EndpointSession *session) {
  if (session->volume)
    IAudioEndpointVolume_Release(volumeOf(session));
  if (session->leaveCom)
    CoUninitialize();
  session->volume = nullptr;
  session->leaveCom = 0;
}

EndpointResult platformEndpointGetScalar(const EndpointSession *session,
                                         float *scalar) {
  return IAudioEndpointVolume_GetMasterVolumeLevelScalar(volumeOf(session),
                                                         scalar);
}

EndpointResult platformEndpointSetScalar(const EndpointSession *session,
                                         float scalar) {
  return IAudioEndpointVolume_SetMasterVolumeLevelScalar(volumeOf(session),
                                                         scalar, nullptr);
}

EndpointResult platformEndpointGetMute(const EndpointSession *session,
                                       int32_t *muted) {
  BOOL value = FALSE;
  HRESULT result = IAudioEndpointVolume_GetMute(volumeOf(session), &value);
  *muted = value ? 1 : 0;
  return result;
}

EndpointResult platformEndpointSetMute(const EndpointSession *session,
                                       int32_t muted) {
  return IAudioEndpointVolume_SetMute(volumeOf(session), muted ? TRUE : FALSE,
                                      nullptr);
}
