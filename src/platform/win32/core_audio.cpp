/*
 * Core Audio on Windows: the device enumerator (MMDevAPI) reached through
 * ole32, one COM call per operation. The interfaces are used through
 * their C method tables: the plug-in calls them, it implements none.
 */
#define CINTERFACE
#define COBJMACROS
#include <windows.h>

#include <objbase.h>

#include <cstring>

#include <audiopolicy.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include "platform/platform.h"
#include "platform/win32/core_audio_ids.h"

static_assert((HRESULT)COM_S_FALSE == S_FALSE, "S_FALSE");
static_assert((HRESULT)COM_E_POINTER == E_POINTER, "E_POINTER");
static_assert((HRESULT)COM_E_FAIL == E_FAIL, "E_FAIL");
static_assert((HRESULT)COM_E_NOT_SUFFICIENT_BUFFER ==
                  HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER),
              "ERROR_INSUFFICIENT_BUFFER");
static_assert((HRESULT)COM_E_NOT_FOUND == HRESULT_FROM_WIN32(ERROR_NOT_FOUND),
              "ERROR_NOT_FOUND");
static_assert(sizeof(WCHAR) == sizeof(uint16_t), "UTF-16 units");
static_assert((HRESULT)COM_CLASS_NOT_REGISTERED == REGDB_E_CLASSNOTREG,
              "REGDB_E_CLASSNOTREG");
static_assert((HRESULT)COM_CHANGED_MODE == RPC_E_CHANGED_MODE,
              "RPC_E_CHANGED_MODE");
static_assert((int)AUDIO_RENDER == (int)eRender &&
                  (int)AUDIO_CAPTURE == (int)eCapture,
              "EDataFlow");
static_assert((int)AUDIO_CONSOLE == (int)eConsole &&
                  (int)AUDIO_MULTIMEDIA == (int)eMultimedia &&
                  (int)AUDIO_COMMUNICATIONS == (int)eCommunications,
              "ERole");
static_assert((int)AUDIO_SESSION_INACTIVE == (int)AudioSessionStateInactive &&
                  (int)AUDIO_SESSION_ACTIVE == (int)AudioSessionStateActive &&
                  (int)AUDIO_SESSION_EXPIRED == (int)AudioSessionStateExpired,
              "AudioSessionState");

ComResult platformComEnter(void) {
  return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void platformComLeave(void) { CoUninitialize(); }

void platformComRelease(ComObject object) {
  IUnknown_Release((IUnknown *)object);
}

ComResult platformCreateDeviceEnumerator(ComObject *enumerator) {
  return CoCreateInstance(DEVICE_ENUMERATOR_CLASS, nullptr,
                          CLSCTX_INPROC_SERVER, DEVICE_ENUMERATOR_INTERFACE,
                          enumerator);
}

ComResult platformDefaultEndpoint(ComObject enumerator, AudioFlow flow,
                                  AudioRole role, ComObject *device) {
  return IMMDeviceEnumerator_GetDefaultAudioEndpoint(
      (IMMDeviceEnumerator *)enumerator, (EDataFlow)flow, (ERole)role,
      (IMMDevice **)device);
}

ComResult platformEnumerateEndpoints(ComObject enumerator, AudioFlow flow,
                                     ComObject *collection) {
  return IMMDeviceEnumerator_EnumAudioEndpoints(
      (IMMDeviceEnumerator *)enumerator, (EDataFlow)flow, DEVICE_STATE_ACTIVE,
      (IMMDeviceCollection **)collection);
}

ComResult platformEndpointCount(ComObject collection, uint32_t *count) {
  UINT value = 0;
  HRESULT result =
      IMMDeviceCollection_GetCount((IMMDeviceCollection *)collection, &value);
  *count = value;
  return result;
}

ComResult platformEndpointItem(ComObject collection, uint32_t index,
                               ComObject *device) {
  return IMMDeviceCollection_Item((IMMDeviceCollection *)collection, index,
                                  (IMMDevice **)device);
}

ComResult platformEndpointId(ComObject device, uint16_t *id, uint32_t size) {
  LPWSTR text = nullptr;
  HRESULT result = IMMDevice_GetId((IMMDevice *)device, &text);
  if (FAILED(result) || !text)
    return FAILED(result) ? result : E_POINTER;
  uint32_t length = (uint32_t)lstrlenW(text);
  if (length < size)
    memcpy(id, text, (length + 1) * sizeof *id);
  else
    result = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  CoTaskMemFree(text);
  return result;
}

/* By AudioInterface. */
static const IID *const ACTIVATED_INTERFACES[] = {&ENDPOINT_VOLUME_INTERFACE,
                                                  &SESSION_MANAGER_INTERFACE};

ComResult platformOpenProperties(ComObject device, ComObject *properties) {
  return IMMDevice_OpenPropertyStore((IMMDevice *)device, STGM_READ,
                                     (IPropertyStore **)properties);
}

ComResult platformFriendlyName(ComObject properties, uint16_t *name,
                               uint32_t size) {
  if (size > 0)
    name[0] = 0;
  PROPVARIANT value;
  PropVariantInit(&value);
  HRESULT result = IPropertyStore_GetValue((IPropertyStore *)properties,
                                           DEVICE_FRIENDLY_NAME, &value);
  /* A device without the property answers S_OK with VT_EMPTY. */
  if (SUCCEEDED(result) && (value.vt != VT_LPWSTR || !value.pwszVal))
    result = E_FAIL;
  if (SUCCEEDED(result) && size > 0)
    lstrcpynW((WCHAR *)name, value.pwszVal, (int)size);
  PropVariantClear(&value);
  return result;
}

ComResult platformActivate(ComObject device, AudioInterface which,
                           ComObject *object) {
  return IMMDevice_Activate((IMMDevice *)device, *ACTIVATED_INTERFACES[which],
                            CLSCTX_INPROC_SERVER, nullptr, object);
}

static IAudioEndpointVolume *volumeOf(ComObject volume) {
  return (IAudioEndpointVolume *)volume;
}

ComResult platformGetVolumeScalar(ComObject volume, float *scalar) {
  return IAudioEndpointVolume_GetMasterVolumeLevelScalar(volumeOf(volume),
                                                         scalar);
}

ComResult platformSetVolumeScalar(ComObject volume, float scalar) {
  return IAudioEndpointVolume_SetMasterVolumeLevelScalar(volumeOf(volume),
                                                         scalar, nullptr);
}

ComResult platformGetVolumeMute(ComObject volume, int32_t *muted) {
  BOOL value = FALSE;
  HRESULT result = IAudioEndpointVolume_GetMute(volumeOf(volume), &value);
  *muted = value ? 1 : 0;
  return result;
}

ComResult platformSetVolumeMute(ComObject volume, int32_t muted) {
  return IAudioEndpointVolume_SetMute(volumeOf(volume), muted ? TRUE : FALSE,
                                      nullptr);
}

/* ---- Audio sessions ---------------------------------------------------- */

ComResult platformSessionEnumerator(ComObject manager, ComObject *sessions) {
  return IAudioSessionManager2_GetSessionEnumerator(
      (IAudioSessionManager2 *)manager, (IAudioSessionEnumerator **)sessions);
}

ComResult platformSessionCount(ComObject sessions, int32_t *count) {
  int value = 0;
  HRESULT result = IAudioSessionEnumerator_GetCount(
      (IAudioSessionEnumerator *)sessions, &value);
  *count = value;
  return result;
}

ComResult platformSessionItem(ComObject sessions, int32_t index,
                              ComObject *control) {
  return IAudioSessionEnumerator_GetSession((IAudioSessionEnumerator *)sessions,
                                            index,
                                            (IAudioSessionControl **)control);
}

/* By SessionInterface. */
static const IID *const SESSION_INTERFACES[] = {&SESSION_CONTROL2_INTERFACE,
                                                &SIMPLE_VOLUME_INTERFACE};

/* Both interfaces are asked of the enumerated session's control. The
 * documentation gives ISimpleAudioVolume by IAudioClient::GetService,
 * for a stream of the caller's own, and by
 * IAudioSessionManager::GetSimpleAudioVolume, for a session GUID the caller
 * knows: both reach the caller's own sessions. Asking an enumerated
 * session's control for it is the usual way to reach other processes'
 * sessions, as volume mixers do; a control that does not offer it answers
 * E_NOINTERFACE, and the session then counts as one that could not be
 * changed. */
ComResult platformSessionQuery(ComObject control, SessionInterface which,
                               ComObject *object) {
  return IUnknown_QueryInterface((IUnknown *)control,
                                 *SESSION_INTERFACES[which], object);
}

/* IAudioSessionControl2's method table begins with IAudioSessionControl's,
 * so either pointer serves. */
ComResult platformSessionState(ComObject control, int32_t *state) {
  AudioSessionState value = AudioSessionStateInactive;
  HRESULT result =
      IAudioSessionControl_GetState((IAudioSessionControl *)control, &value);
  *state = (int32_t)value;
  return result;
}

ComResult platformSessionProcessId(ComObject control2, uint32_t *processId) {
  DWORD value = 0;
  HRESULT result = IAudioSessionControl2_GetProcessId(
      (IAudioSessionControl2 *)control2, &value);
  *processId = value;
  return result;
}

ComResult platformSessionIsSystemSounds(ComObject control2) {
  return IAudioSessionControl2_IsSystemSoundsSession(
      (IAudioSessionControl2 *)control2);
}

static ISimpleAudioVolume *simpleVolumeOf(ComObject volume) {
  return (ISimpleAudioVolume *)volume;
}

ComResult platformSessionGetVolume(ComObject volume, float *scalar) {
  return ISimpleAudioVolume_GetMasterVolume(simpleVolumeOf(volume), scalar);
}

ComResult platformSessionSetVolume(ComObject volume, float scalar) {
  return ISimpleAudioVolume_SetMasterVolume(simpleVolumeOf(volume), scalar,
                                            nullptr);
}

ComResult platformSessionGetMute(ComObject volume, int32_t *muted) {
  BOOL value = FALSE;
  HRESULT result = ISimpleAudioVolume_GetMute(simpleVolumeOf(volume), &value);
  *muted = value ? 1 : 0;
  return result;
}

ComResult platformSessionSetMute(ComObject volume, int32_t muted) {
  return ISimpleAudioVolume_SetMute(simpleVolumeOf(volume),
                                    muted ? TRUE : FALSE, nullptr);
}
