/*
 * The fake Core Audio server (see fake_core_audio.h). Objects count
 * their references in one process-wide figure; every call that a test
 * can fail first counts itself and returns the failure set for it.
 */
#include <initguid.h>

#include "fake_core_audio.h"

#include <objbase.h>

#include <cstdlib>
#include <cstring>

#include <audioclient.h>
#include <audiopolicy.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <tlhelp32.h>

static FakeAudioState state;
static HMODULE thisModule;

static const FakeAudioState INITIAL_STATE = {
    {{0.5f, FALSE}, {0.25f, FALSE}, {1.0f, FALSE}, {1.0f, FALSE}},
    0,
    {FAKE_FIRST_RECORDING, FAKE_FIRST_RECORDING, FAKE_FIRST_RECORDING},
    {},
    {},
    0,
    -2,
    -1,
    -1,
    {},
    {},
    0};

extern "C" void __stdcall FakeAudioReset(void) {
  LONG live = state.liveReferences;
  state = INITIAL_STATE;
  state.liveReferences = live;
}

extern "C" FakeAudioState *__stdcall FakeAudioGetState(void) { return &state; }

/* Counts a call; S_OK, or the failure a test set for it. */
static HRESULT enter(FakeCall call) {
  state.calls[call]++;
  return state.failures[call];
}

static int apartmentOfThread(void) {
  APTTYPE type;
  APTTYPEQUALIFIER qualifier;
  if (FAILED(CoGetApartmentType(&type, &qualifier)))
    return -1;
  return (int)type;
}

/* IUnknown for the objects handed out; each holds one device's index. */
template <typename Interface> class Counted : public Interface {
public:
  ULONG STDMETHODCALLTYPE AddRef(void) override {
    InterlockedIncrement(&state.liveReferences);
    return (ULONG)InterlockedIncrement(&references);
  }
  ULONG STDMETHODCALLTYPE Release(void) override {
    InterlockedDecrement(&state.liveReferences);
    LONG left = InterlockedDecrement(&references);
    if (left == 0)
      delete this;
    return (ULONG)left;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override {
    if (!object)
      return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, ownInterface())) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  virtual ~Counted() {}

protected:
  Counted() { AddRef(); }
  virtual REFIID ownInterface(void) = 0;

private:
  LONG references = 0;
};

/* ---- IAudioEndpointVolume -------------------------------------------- */

class Volume : public Counted<IAudioEndpointVolume> {
public:
  explicit Volume(int device) : device(device) {}

  HRESULT STDMETHODCALLTYPE
  RegisterControlChangeNotify(IAudioEndpointVolumeCallback *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterControlChangeNotify(IAudioEndpointVolumeCallback *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelCount(UINT *count) override {
    *count = 2;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float level,
                                                       LPCGUID) override {
    HRESULT result = enter(FAKE_SET_SCALAR);
    if (FAILED(result))
      return result;
    if (level < 0.0f || level > 1.0f)
      return E_INVALIDARG;
    state.devices[device].scalar = level;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float *level) override {
    HRESULT result = enter(FAKE_GET_SCALAR);
    if (FAILED(result))
      return result;
    *level = state.devices[device].scalar;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, float,
                                                  LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, float,
                                                        LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, float *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT,
                                                        float *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
    HRESULT result = enter(FAKE_SET_MUTE);
    if (FAILED(result))
      return result;
    state.devices[device].muted = muted;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL *muted) override {
    HRESULT result = enter(FAKE_GET_MUTE);
    if (FAILED(result))
      return result;
    *muted = state.devices[device].muted;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT *, UINT *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetVolumeRange(float *, float *, float *) override {
    return E_NOTIMPL;
  }

protected:
  REFIID ownInterface(void) override { return IID_IAudioEndpointVolume; }

private:
  int device;
};

/* ---- A session: IAudioSessionControl2 and ISimpleAudioVolume ------------ */

/* One object behind both interfaces, as Windows' session control is. */
class Session : public IAudioSessionControl2, public ISimpleAudioVolume {
public:
  explicit Session(int index) : index(index) { AddRef(); }
  virtual ~Session() {}

  ULONG STDMETHODCALLTYPE AddRef(void) override {
    InterlockedIncrement(&state.liveReferences);
    return (ULONG)InterlockedIncrement(&references);
  }
  ULONG STDMETHODCALLTYPE Release(void) override {
    InterlockedDecrement(&state.liveReferences);
    LONG left = InterlockedDecrement(&references);
    if (left == 0)
      delete this;
    return (ULONG)left;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override {
    if (!object)
      return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) ||
        IsEqualIID(iid, IID_IAudioSessionControl) ||
        IsEqualIID(iid, IID_IAudioSessionControl2))
      *object = static_cast<IAudioSessionControl2 *>(this);
    else if (IsEqualIID(iid, IID_ISimpleAudioVolume))
      *object = static_cast<ISimpleAudioVolume *>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetState(AudioSessionState *value) override {
    *value = (AudioSessionState)own().state;
    return S_OK;
  }
  /* In memory the caller frees with CoTaskMemFree. */
  HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR *name) override {
    size_t size = (lstrlenW(own().displayName) + 1) * sizeof(WCHAR);
    *name = (LPWSTR)CoTaskMemAlloc(size);
    if (!*name)
      return E_OUTOFMEMORY;
    memcpy(*name, own().displayName, size);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetDisplayName(LPCWSTR, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIconPath(LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetIconPath(LPCWSTR, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetGroupingParam(GUID *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetGroupingParam(LPCGUID, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  RegisterAudioSessionNotification(IAudioSessionEvents *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterAudioSessionNotification(IAudioSessionEvents *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetSessionIdentifier(LPWSTR *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetSessionInstanceIdentifier(LPWSTR *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetProcessId(DWORD *process) override {
    *process = own().processId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsSystemSoundsSession(void) override {
    return own().systemSounds ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE SetDuckingPreference(BOOL) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE SetMasterVolume(float level, LPCGUID) override {
    HRESULT result = enter(FAKE_SET_SESSION_VOLUME);
    if (FAILED(result))
      return result;
    if (level < 0.0f || level > 1.0f)
      return E_INVALIDARG;
    own().volume = level;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolume(float *level) override {
    *level = own().volume;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
    HRESULT result = enter(FAKE_SET_SESSION_MUTE);
    if (FAILED(result))
      return result;
    own().muted = muted;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMute(BOOL *muted) override {
    *muted = own().muted;
    return S_OK;
  }

private:
  FakeSession &own(void) { return state.sessions[index]; }
  LONG references = 0;
  int index;
};

/* The sessions of one device, as they were when it was made. */
class SessionList : public Counted<IAudioSessionEnumerator> {
public:
  explicit SessionList(int device) {
    for (int i = 0; i < state.sessionCount && i < FAKE_SESSIONS; i++)
      if (state.sessions[i].device == device)
        indices[count++] = i;
  }
  HRESULT STDMETHODCALLTYPE GetCount(int *found) override {
    *found = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  GetSession(int at, IAudioSessionControl **session) override {
    *session = nullptr;
    if (at < 0 || at >= count)
      return E_INVALIDARG;
    *session = static_cast<IAudioSessionControl2 *>(new Session(indices[at]));
    return S_OK;
  }

protected:
  REFIID ownInterface(void) override { return IID_IAudioSessionEnumerator; }

private:
  int indices[FAKE_SESSIONS] = {};
  int count = 0;
};

/* Where VOLUME_FAKE_AUDIO_PLAYING names an executable (tools/run-demo sets
 * it), every process of it that runs when the sessions are first listed
 * has an active session at full volume on device 0, as a program playing
 * sound has: the plug-in in another process can then find one. The tests
 * leave it unset and make their sessions themselves. */
static void addPlayingProcesses(void) {
  static BOOL added;
  const char *executable = getenv("VOLUME_FAKE_AUDIO_PLAYING");
  if (added || !executable || state.sessionCount != 0)
    return;
  added = TRUE;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry);
       more && state.sessionCount < FAKE_SESSIONS;
       more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, executable) == 0)
      state.sessions[state.sessionCount++] = {
          0, entry.th32ProcessID, 1, FALSE, 1.0f, FALSE, L"playing"};
  CloseHandle(snapshot);
}

class SessionManager : public Counted<IAudioSessionManager2> {
public:
  explicit SessionManager(int device) : device(device) {}

  HRESULT STDMETHODCALLTYPE
  GetAudioSessionControl(LPCGUID, DWORD, IAudioSessionControl **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  GetSimpleAudioVolume(LPCGUID, DWORD, ISimpleAudioVolume **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  GetSessionEnumerator(IAudioSessionEnumerator **list) override {
    *list = nullptr;
    HRESULT result = enter(FAKE_GET_SESSIONS);
    if (FAILED(result))
      return result;
    addPlayingProcesses();
    *list = new SessionList(device);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE
  RegisterSessionNotification(IAudioSessionNotification *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterSessionNotification(IAudioSessionNotification *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  RegisterDuckNotification(LPCWSTR, IAudioVolumeDuckNotification *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterDuckNotification(IAudioVolumeDuckNotification *) override {
    return E_NOTIMPL;
  }

protected:
  REFIID ownInterface(void) override { return IID_IAudioSessionManager2; }

private:
  int device;
};

/* ---- IMMDevice --------------------------------------------------------- */

class Device : public Counted<IMMDevice> {
public:
  explicit Device(int device) : device(device) {}

  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT *,
                                     void **object) override {
    if (!object)
      return E_POINTER;
    *object = nullptr;
    HRESULT result = enter(FAKE_ACTIVATE);
    if (FAILED(result))
      return result;
    if (IsEqualIID(iid, IID_IAudioSessionManager2) &&
        device < FAKE_FIRST_RECORDING) {
      *object =
          static_cast<IAudioSessionManager2 *>(new SessionManager(device));
      return S_OK;
    }
    if (!IsEqualIID(iid, IID_IAudioEndpointVolume))
      return E_NOINTERFACE;
    *object = static_cast<IAudioEndpointVolume *>(new Volume(device));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD,
                                              IPropertyStore **) override {
    return E_NOTIMPL;
  }
  /* "{fake}.<device>", in memory the caller frees with CoTaskMemFree. */
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR *id) override {
    if (!id)
      return E_POINTER;
    *id = nullptr;
    HRESULT result = enter(FAKE_GET_ID);
    if (FAILED(result))
      return result;
    static const WCHAR prefix[] = L"{fake}.";
    const size_t length = sizeof prefix / sizeof prefix[0];
    *id = (LPWSTR)CoTaskMemAlloc((length + 1) * sizeof(WCHAR));
    if (!*id)
      return E_OUTOFMEMORY;
    memcpy(*id, prefix, sizeof prefix);
    (*id)[length - 1] = (WCHAR)(L'0' + device);
    (*id)[length] = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetState(DWORD *active) override {
    *active = DEVICE_STATE_ACTIVE;
    return S_OK;
  }

protected:
  REFIID ownInterface(void) override { return IID_IMMDevice; }

private:
  int device;
};

/* ---- IMMDeviceCollection: every device of one flow is active ------------ */

class Collection : public Counted<IMMDeviceCollection> {
public:
  explicit Collection(EDataFlow flow)
      : first(flow == eRender ? 0 : FAKE_FIRST_RECORDING) {}
  HRESULT STDMETHODCALLTYPE GetCount(UINT *count) override {
    *count = FAKE_FIRST_RECORDING;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(UINT at, IMMDevice **device) override {
    *device = nullptr;
    if (at >= FAKE_FIRST_RECORDING)
      return E_INVALIDARG;
    *device = new Device(first + (int)at);
    return S_OK;
  }

protected:
  REFIID ownInterface(void) override { return IID_IMMDeviceCollection; }

private:
  int first;
};

/* ---- IMMDeviceEnumerator ---------------------------------------------- */

class Enumerator : public Counted<IMMDeviceEnumerator> {
public:
  HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(
      EDataFlow flow, DWORD, IMMDeviceCollection **devices) override {
    if (!devices)
      return E_POINTER;
    *devices = nullptr;
    HRESULT result = enter(FAKE_ENUM_DEVICES);
    if (FAILED(result))
      return result;
    if (flow != eRender && flow != eCapture)
      return E_INVALIDARG;
    *devices = new Collection(flow);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(
      EDataFlow flow, ERole role, IMMDevice **device) override {
    if (!device)
      return E_POINTER;
    *device = nullptr;
    state.apartmentSeen = apartmentOfThread();
    state.lastFlow = flow;
    state.lastRole = role;
    if (state.calls[FAKE_GET_DEFAULT] < FAKE_LOOKUPS)
      state.lookups[state.calls[FAKE_GET_DEFAULT]] = flow * 16 + role;
    HRESULT result = enter(FAKE_GET_DEFAULT);
    if (FAILED(result))
      return result;
    int found = FAKE_NO_DEFAULT;
    if (flow == eRender)
      found = state.defaultDevice;
    else if (flow == eCapture && (int)role >= 0 && (int)role < FAKE_ROLES)
      found = state.recordingDefaults[role];
    if (found == FAKE_NO_DEFAULT)
      return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    *device = new Device(found);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice **) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  RegisterEndpointNotificationCallback(IMMNotificationClient *) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterEndpointNotificationCallback(IMMNotificationClient *) override {
    return E_NOTIMPL;
  }

protected:
  REFIID ownInterface(void) override { return IID_IMMDeviceEnumerator; }
};

/* ---- The class factory and the DLL's exports ---------------------------- */

/* Static and never freed, so not counted among the live references. */
class Factory : public IClassFactory {
public:
  ULONG STDMETHODCALLTYPE AddRef(void) override { return 2; }
  ULONG STDMETHODCALLTYPE Release(void) override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid,
                                           void **object) override {
    *object = nullptr;
    HRESULT result = enter(FAKE_CREATE_INSTANCE);
    if (FAILED(result))
      return result;
    if (outer)
      return CLASS_E_NOAGGREGATION;
    Enumerator *enumerator = new Enumerator();
    result = enumerator->QueryInterface(iid, object);
    enumerator->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

static Factory factory;

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid,
                                               void **object) {
  *object = nullptr;
  HRESULT result = enter(FAKE_GET_CLASS_OBJECT);
  if (FAILED(result))
    return result;
  if (!IsEqualCLSID(clsid, CLSID_MMDeviceEnumerator))
    return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, object);
}

/* The state must outlive every COM release: the test reads it after. */
extern "C" HRESULT __stdcall DllCanUnloadNow(void) { return S_FALSE; }

static LONG setValue(HKEY key, const char *name, const char *value) {
  return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value,
                        (DWORD)lstrlenA(value) + 1);
}

/* HKCR\CLSID\{BCDE0395-...}\InprocServer32 = this DLL, ThreadingModel
 * Both: created directly in whichever apartment the caller is in. */
extern "C" HRESULT __stdcall DllRegisterServer(void) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(thisModule, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return E_FAIL;
  HKEY key;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT,
                      "CLSID\\{BCDE0395-E52F-467C-8E3D-C4579291692E}"
                      "\\InprocServer32",
                      0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  LONG written = setValue(key, nullptr, path);
  if (written == ERROR_SUCCESS)
    written = setValue(key, "ThreadingModel", "Both");
  RegCloseKey(key);
  return written == ERROR_SUCCESS ? S_OK : E_FAIL;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *) {
  if (reason == DLL_PROCESS_ATTACH) {
    thisModule = instance;
    FakeAudioReset();
  }
  return TRUE;
}
