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
    {{0.5f, FALSE},
     {0.25f, FALSE},
     {1.0f, FALSE},
     {1.0f, FALSE},
     {1.0f, FALSE},
     {1.0f, FALSE},
     {1.0f, FALSE},
     {1.0f, FALSE}},
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
    0,
    /* A machine with speakers, USB headphones and two microphones in use,
     * and a device of each other state. */
    {
        {eRender, DEVICE_STATE_ACTIVE, L"Speakers (Fake Audio)"},
        {eRender, DEVICE_STATE_ACTIVE, L"ヘッドホン (USB Headset)"},
        {eCapture, DEVICE_STATE_ACTIVE, L"Microphone (Fake Audio)"},
        {eCapture, DEVICE_STATE_ACTIVE, L"ヘッドセット マイク (USB Headset)"},
        {eRender, DEVICE_STATE_DISABLED, L"HDMI Output"},
        {eRender, DEVICE_STATE_UNPLUGGED, L"Line Out"},
        {eCapture, DEVICE_STATE_NOTPRESENT, L"Webcam Microphone"},
        {eCapture, DEVICE_STATE_UNPLUGGED, L"Line In"},
    },
    {FAKE_AS_DEFAULT_DEVICE, FAKE_AS_DEFAULT_DEVICE, FAKE_AS_DEFAULT_DEVICE},
    FAKE_POLICY_ALL,
    {},
    0,
    -2,
    VT_LPWSTR};

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

/* ---- IPropertyStore: the friendly name -------------------------------- */

/* PKEY_Device_FriendlyName, written out again from its public value. */
static const PROPERTYKEY FRIENDLY_NAME_KEY = {
    {0xa45c254e,
     0xdf1c,
     0x4efd,
     {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}},
    14};

class Properties : public Counted<IPropertyStore> {
public:
  explicit Properties(int device) : device(device) {}
  HRESULT STDMETHODCALLTYPE GetCount(DWORD *count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAt(DWORD, PROPERTYKEY *) override {
    return E_NOTIMPL;
  }
  /* As Windows answers: S_OK and VT_EMPTY for a property not there. */
  HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key,
                                     PROPVARIANT *value) override {
    if (!value)
      return E_POINTER;
    PropVariantInit(value);
    HRESULT result = enter(FAKE_GET_VALUE);
    const WCHAR *name = state.shapes[device].name;
    if (FAILED(result) || !IsEqualGUID(key.fmtid, FRIENDLY_NAME_KEY.fmtid) ||
        key.pid != FRIENDLY_NAME_KEY.pid || !name[0])
      return result;
    if (state.nameType == VT_BSTR) {
      value->bstrVal = SysAllocString(name);
      value->vt = VT_BSTR;
      return value->bstrVal ? S_OK : E_OUTOFMEMORY;
    }
    size_t size = (lstrlenW(name) + 1) * sizeof(WCHAR);
    value->pwszVal = (LPWSTR)CoTaskMemAlloc(size);
    if (!value->pwszVal)
      return E_OUTOFMEMORY;
    memcpy(value->pwszVal, name, size);
    value->vt = VT_LPWSTR;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY, REFPROPVARIANT) override {
    return STG_E_ACCESSDENIED;
  }
  HRESULT STDMETHODCALLTYPE Commit(void) override { return E_NOTIMPL; }

protected:
  REFIID ownInterface(void) override { return IID_IPropertyStore; }

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
  HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD access,
                                              IPropertyStore **store) override {
    if (!store)
      return E_POINTER;
    *store = nullptr;
    HRESULT result = enter(FAKE_OPEN_PROPERTIES);
    if (FAILED(result))
      return result;
    if (access != STGM_READ)
      return E_ACCESSDENIED; /* not an administrator */
    *store = new Properties(device);
    return S_OK;
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
  HRESULT STDMETHODCALLTYPE GetState(DWORD *shown) override {
    *shown = state.shapes[device].state;
    return S_OK;
  }

protected:
  REFIID ownInterface(void) override { return IID_IMMDevice; }

private:
  int device;
};

/* ---- IMMDeviceCollection: the devices of a flow in some states ---------- */

class Collection : public Counted<IMMDeviceCollection> {
public:
  /* In the order of their numbers, as the collection was made. */
  Collection(EDataFlow flow, DWORD states) {
    for (int d = 0; d < FAKE_DEVICES; d++) {
      const FakeDeviceShape &shape = state.shapes[d];
      if (shape.flow != FAKE_NO_FLOW &&
          (flow == eAll || shape.flow == (int)flow) && (shape.state & states))
        devices[count++] = d;
    }
  }
  HRESULT STDMETHODCALLTYPE GetCount(UINT *found) override {
    *found = count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(UINT at, IMMDevice **device) override {
    *device = nullptr;
    if (at >= count)
      return E_INVALIDARG;
    *device = new Device(devices[at]);
    return S_OK;
  }

protected:
  REFIID ownInterface(void) override { return IID_IMMDeviceCollection; }

private:
  int devices[FAKE_DEVICES] = {};
  UINT count = 0;
};

/* ---- IMMDeviceEnumerator ---------------------------------------------- */

static int defaultOf(EDataFlow flow, ERole role) {
  if (flow == eCapture)
    return state.recordingDefaults[role];
  if (flow != eRender)
    return FAKE_NO_DEFAULT;
  int device = state.playbackDefaults[role];
  return device == FAKE_AS_DEFAULT_DEVICE ? state.defaultDevice : device;
}

class Enumerator : public Counted<IMMDeviceEnumerator> {
public:
  HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(
      EDataFlow flow, DWORD states, IMMDeviceCollection **devices) override {
    if (!devices)
      return E_POINTER;
    *devices = nullptr;
    HRESULT result = enter(FAKE_ENUM_DEVICES);
    if (FAILED(result))
      return result;
    if ((flow != eRender && flow != eCapture && flow != eAll) ||
        (states & ~(DWORD)DEVICE_STATEMASK_ALL))
      return E_INVALIDARG;
    *devices = new Collection(flow, states);
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
    if ((int)role >= 0 && (int)role < FAKE_ROLES)
      found = defaultOf(flow, role);
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

/* ---- The policy-config classes ------------------------------------------
 * Undocumented: no header declares them. The ids are written out here
 * again from their public values, so that an id the plug-in spelt wrong
 * finds nothing; the method tables are the fake's own. */

static const WCHAR POLICY_CLASS_ID[] =
    L"{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}";
static const WCHAR POLICY_VISTA_CLASS_ID[] =
    L"{294935CE-F637-4E7C-A41B-AB255460B862}";

struct PolicyInterfaceId {
  const WCHAR *text;
  unsigned answer; /* the FakePolicyAnswer bit that makes it answer */
  int vista;       /* of the Vista class */
};

static const PolicyInterfaceId POLICY_INTERFACES[] = {
    {L"{F8679F50-850A-41CF-9C72-430F290290C8}", FAKE_POLICY_INTERFACE, 0},
    {L"{CA286FC3-91FD-42C3-8E9B-CAAFA66242E3}", FAKE_POLICY_INTERFACE_10A, 0},
    {L"{6BE54BE8-A068-4875-A49D-0C2966473B11}", FAKE_POLICY_INTERFACE_10B, 0},
    {L"{568B9108-44BF-40B4-9006-86AFE5B5A620}", FAKE_POLICY_VISTA, 1},
};

static int isId(REFGUID guid, const WCHAR *text) {
  GUID parsed;
  return SUCCEEDED(CLSIDFromString((LPOLESTR)text, &parsed)) &&
         IsEqualGUID(guid, parsed);
}

/* "{fake}.<device>", as GetId gives it: the device, or -1. */
static int deviceOfId(LPCWSTR id) {
  static const WCHAR prefix[] = L"{fake}.";
  const int length = sizeof prefix / sizeof prefix[0] - 1;
  if (!id || lstrlenW(id) != length + 1 ||
      memcmp(id, prefix, length * sizeof(WCHAR)) != 0)
    return -1;
  int device = id[length] - L'0';
  return device >= 0 && device < FAKE_DEVICES &&
                 state.shapes[device].flow != FAKE_NO_FLOW
             ? device
             : -1;
}

/* Makes an active device the default of its flow for one role. */
static HRESULT setDefaultEndpoint(LPCWSTR id, int role) {
  int device = deviceOfId(id);
  if (state.calls[FAKE_SET_DEFAULT] < FAKE_WRITES)
    state.writes[state.calls[FAKE_SET_DEFAULT]] = device * 16 + role;
  state.writeApartment = apartmentOfThread();
  HRESULT result = enter(FAKE_SET_DEFAULT);
  if (FAILED(result))
    return result;
  if (device < 0 || role < 0 || role >= FAKE_ROLES)
    return E_INVALIDARG;
  if (state.shapes[device].state != DEVICE_STATE_ACTIVE)
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
  if (state.shapes[device].flow == eRender)
    state.playbackDefaults[role] = device;
  else
    state.recordingDefaults[role] = device;
  return S_OK;
}

/* Every method before SetDefaultEndpoint's slot takes the same arguments
 * here, so that a call in the wrong slot is counted rather than breaking
 * the caller's stack. */
#define WRONG_SLOT(n)                                                          \
  virtual HRESULT STDMETHODCALLTYPE slot##n(LPCWSTR, int) {                    \
    InterlockedIncrement(&state.wrongSlotCalls);                               \
    return E_NOTIMPL;                                                          \
  }

/* Windows 7 to 11's table has SetDefaultEndpoint in slot 13, Vista's in
 * slot 12: one object plays either. */
class PolicyConfig : public IUnknown {
public:
  explicit PolicyConfig(int vista) : vista(vista) { AddRef(); }
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
    int answered = IsEqualIID(iid, IID_IUnknown);
    for (const PolicyInterfaceId &known : POLICY_INTERFACES)
      answered |= known.vista == vista &&
                  (state.policyAnswers & known.answer) && isId(iid, known.text);
    if (!answered)
      return E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
  }
  WRONG_SLOT(3)
  WRONG_SLOT(4)
  WRONG_SLOT(5)
  WRONG_SLOT(6)
  WRONG_SLOT(7)
  WRONG_SLOT(8)
  WRONG_SLOT(9)
  WRONG_SLOT(10)
  WRONG_SLOT(11)
  virtual HRESULT STDMETHODCALLTYPE slot12(LPCWSTR id, int role) {
    if (vista)
      return setDefaultEndpoint(id, role);
    InterlockedIncrement(&state.wrongSlotCalls);
    return E_NOTIMPL;
  }
  virtual HRESULT STDMETHODCALLTYPE slot13(LPCWSTR id, int role) {
    if (!vista)
      return setDefaultEndpoint(id, role);
    InterlockedIncrement(&state.wrongSlotCalls);
    return E_NOTIMPL;
  }
  /* After the slots: a virtual destructor takes places in the table. */
  virtual ~PolicyConfig() {}

private:
  LONG references = 0;
  int vista;
};

/* ---- The class factories and the DLL's exports -------------------------- */

enum FactoryKind { MAKES_ENUMERATOR, MAKES_POLICY, MAKES_VISTA_POLICY };

/* Static and never freed, so not counted among the live references. */
class Factory : public IClassFactory {
public:
  explicit Factory(FactoryKind kind) : kind(kind) {}
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
    HRESULT result = enter(kind == MAKES_ENUMERATOR ? FAKE_CREATE_INSTANCE
                                                    : FAKE_CREATE_POLICY);
    if (FAILED(result))
      return result;
    if (outer)
      return CLASS_E_NOAGGREGATION;
    if (kind == MAKES_POLICY && (state.policyAnswers & FAKE_POLICY_NO_OBJECT))
      return S_OK;
    IUnknown *made = kind == MAKES_ENUMERATOR
                         ? static_cast<IUnknown *>(new Enumerator())
                         : static_cast<IUnknown *>(
                               new PolicyConfig(kind == MAKES_VISTA_POLICY));
    result = made->QueryInterface(iid, object);
    made->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
  FactoryKind kind;
};

static Factory enumeratorFactory(MAKES_ENUMERATOR);
static Factory policyFactory(MAKES_POLICY);
static Factory vistaPolicyFactory(MAKES_VISTA_POLICY);

/* A policy-config class the test has taken away is one this build of
 * Windows does not have. */
static Factory *factoryOf(REFCLSID clsid) {
  if (IsEqualCLSID(clsid, CLSID_MMDeviceEnumerator))
    return &enumeratorFactory;
  if (isId(clsid, POLICY_CLASS_ID) && (state.policyAnswers & FAKE_POLICY_CLASS))
    return &policyFactory;
  if (isId(clsid, POLICY_VISTA_CLASS_ID) &&
      (state.policyAnswers & FAKE_POLICY_VISTA))
    return &vistaPolicyFactory;
  return nullptr;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid,
                                               void **object) {
  *object = nullptr;
  HRESULT result = enter(FAKE_GET_CLASS_OBJECT);
  if (FAILED(result))
    return result;
  Factory *factory = factoryOf(clsid);
  if (!factory)
    return CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(iid, object);
}

/* The state must outlive every COM release: the test reads it after. */
extern "C" HRESULT __stdcall DllCanUnloadNow(void) { return S_FALSE; }

/* HKCR\CLSID\<class>\InprocServer32 = this DLL, ThreadingModel Both:
 * created directly in whichever apartment the caller is in. */
static HRESULT registerClass(const WCHAR *classId, const WCHAR *path) {
  WCHAR name[128];
  lstrcpyW(name, L"CLSID\\");
  lstrcatW(lstrcatW(name, classId), L"\\InprocServer32");
  HKEY key;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, name, 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  static const WCHAR model[] = L"Both";
  LONG written = RegSetValueExW(key, nullptr, 0, REG_SZ, (const BYTE *)path,
                                (DWORD)(lstrlenW(path) + 1) * sizeof(WCHAR));
  if (written == ERROR_SUCCESS)
    written = RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ,
                             (const BYTE *)model, sizeof model);
  RegCloseKey(key);
  return written == ERROR_SUCCESS ? S_OK : E_FAIL;
}

/* The enumerator's class and both policy-config classes. */
extern "C" HRESULT __stdcall DllRegisterServer(void) {
  WCHAR path[MAX_PATH];
  DWORD length = GetModuleFileNameW(thisModule, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return E_FAIL;
  HRESULT result =
      registerClass(L"{BCDE0395-E52F-467C-8E3D-C4579291692E}", path);
  if (SUCCEEDED(result))
    result = registerClass(POLICY_CLASS_ID, path);
  if (SUCCEEDED(result))
    result = registerClass(POLICY_VISTA_CLASS_ID, path);
  return result;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *) {
  if (reason == DLL_PROCESS_ATTACH) {
    thisModule = instance;
    FakeAudioReset();
  }
  return TRUE;
}
