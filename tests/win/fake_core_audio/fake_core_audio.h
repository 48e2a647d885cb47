/*
 * A Core Audio server of the tests' own: an in-process COM server for the
 * MMDeviceEnumerator class that serves the enumerator, playback and
 * recording devices with their ids, their IAudioEndpointVolume, and the
 * audio sessions of the playback devices (IAudioSessionManager2, its
 * session enumerator, each session's IAudioSessionControl2 and
 * ISimpleAudioVolume), each device's friendly name through its property
 * store, and the undocumented policy-config classes that make a device
 * the default (Windows 7 to 11's and Vista's, with the interface ids each
 * answers chosen by the test). Registered for those classes in a Wine
 * prefix of its own, it is what CoCreateInstance finds there, so the
 * plug-in's real COM calls land here.
 *
 * Its state lives in the DLL; a test that loads the same DLL in-process
 * reaches it through FakeAudioGetState and can read and change it.
 */
#ifndef VOLUME_FAKE_CORE_AUDIO_H
#define VOLUME_FAKE_CORE_AUDIO_H

#include <windows.h>

/* The calls counted, each of which a test can make fail. */
enum FakeCall {
  FAKE_GET_CLASS_OBJECT, /* DllGetClassObject */
  FAKE_CREATE_INSTANCE,  /* IClassFactory::CreateInstance */
  FAKE_GET_DEFAULT,      /* IMMDeviceEnumerator::GetDefaultAudioEndpoint */
  FAKE_ACTIVATE,         /* IMMDevice::Activate */
  FAKE_GET_SCALAR,       /* IAudioEndpointVolume::GetMasterVolumeLevelScalar */
  FAKE_SET_SCALAR,       /* ...SetMasterVolumeLevelScalar */
  FAKE_GET_MUTE,         /* ...GetMute */
  FAKE_SET_MUTE,         /* ...SetMute */
  FAKE_GET_ID,           /* IMMDevice::GetId */
  FAKE_ENUM_DEVICES,     /* IMMDeviceEnumerator::EnumAudioEndpoints */
  FAKE_GET_SESSIONS,     /* IAudioSessionManager2::GetSessionEnumerator */
  FAKE_SET_SESSION_VOLUME, /* ISimpleAudioVolume::SetMasterVolume */
  FAKE_SET_SESSION_MUTE,   /* ISimpleAudioVolume::SetMute */
  FAKE_OPEN_PROPERTIES,    /* IMMDevice::OpenPropertyStore */
  FAKE_GET_VALUE,          /* IPropertyStore::GetValue */
  FAKE_CREATE_POLICY,      /* CreateInstance of a policy-config class */
  FAKE_SET_DEFAULT,        /* the policy config's SetDefaultEndpoint */
  FAKE_CALLS
};

/* Devices 0 and 1 play, 2 and 3 record, all four active; 4 to 7 are
 * devices of both flows that are not (see FakeAudioReset). */
enum {
  FAKE_DEVICES = 8,
  FAKE_FIRST_RECORDING = 2,
  FAKE_NO_DEFAULT = -1,
  FAKE_AS_DEFAULT_DEVICE = -2, /* a playback role left to defaultDevice */
  FAKE_NO_FLOW = -1,           /* a device slot the machine does not have */
  FAKE_ROLES = 3,              /* ERole */
  FAKE_LOOKUPS = 8,            /* GetDefaultAudioEndpoint calls remembered */
  FAKE_WRITES = 8,             /* SetDefaultEndpoint calls remembered */
  FAKE_SESSIONS = 8,
  FAKE_NAME_SIZE = 160 /* more than the 127 characters a name may have */
};

/* The policy-config classes and interface ids the fake answers: bits. */
enum FakePolicyAnswer {
  FAKE_POLICY_CLASS = 1,         /* {870AF99C-...}, Windows 7 to 11 */
  FAKE_POLICY_INTERFACE = 2,     /* its {F8679F50-...} */
  FAKE_POLICY_INTERFACE_10A = 4, /* its {CA286FC3-...}, some Windows 10 */
  FAKE_POLICY_INTERFACE_10B = 8, /* its {6BE54BE8-...}, some Windows 10 */
  FAKE_POLICY_VISTA = 16,        /* {294935CE-...} with {568B9108-...}, Vista */
  FAKE_POLICY_ALL = 31,
  FAKE_POLICY_NO_OBJECT = 32 /* the first class: S_OK and no object */
};

struct FakeDevice {
  float scalar; /* master volume scalar */
  BOOL muted;
};

/* What the enumerator tells of a device. */
struct FakeDeviceShape {
  int flow;                   /* eRender, eCapture or FAKE_NO_FLOW */
  DWORD state;                /* a DEVICE_STATE_* */
  WCHAR name[FAKE_NAME_SIZE]; /* friendly name; empty: the property is
                                 missing (VT_EMPTY) */
};

/* A session on a playback device (0 or 1). */
struct FakeSession {
  int device;
  DWORD processId;
  int state; /* an AudioSessionState */
  BOOL systemSounds;
  float volume; /* ISimpleAudioVolume's master volume */
  BOOL muted;
  WCHAR displayName[32];
};

struct FakeAudioState {
  FakeDevice devices[FAKE_DEVICES];
  /* For eRender, each role that playbackDefaults leaves to it; or none. */
  int defaultDevice;
  int recordingDefaults[FAKE_ROLES]; /* for eCapture, by ERole; or none */
  HRESULT failures[FAKE_CALLS];      /* returned instead of doing the call */
  LONG calls[FAKE_CALLS];
  /* Enumerators, devices and volumes handed out and not released. */
  LONG liveReferences;
  /* The calling thread's apartment at the last GetDefaultAudioEndpoint:
   * an APTTYPE, or -1 when the thread had no COM. */
  int apartmentSeen;
  int lastFlow, lastRole; /* the arguments of that call */
  /* The flow * 16 + role of the first FAKE_LOOKUPS such calls. */
  int lookups[FAKE_LOOKUPS];
  FakeSession sessions[FAKE_SESSIONS];
  int sessionCount;
  FakeDeviceShape shapes[FAKE_DEVICES];
  /* For eRender by ERole: a device, none, or FAKE_AS_DEFAULT_DEVICE.
   * SetDefaultEndpoint writes here (and recordingDefaults). */
  int playbackDefaults[FAKE_ROLES];
  unsigned policyAnswers; /* FakePolicyAnswer bits */
  /* The device * 16 + role of the first FAKE_WRITES SetDefaultEndpoint
   * calls (device -1 for an id the fake does not know). */
  int writes[FAKE_WRITES];
  /* Calls that reached another slot of a policy config's method table. */
  LONG wrongSlotCalls;
  int writeApartment; /* the apartment at the last SetDefaultEndpoint */
  VARTYPE nameType;   /* the friendly names': VT_LPWSTR, or VT_BSTR */
};

/* Everything back to one default playback device at scalar 0.5, unmuted,
 * the second at 0.25; recording device 2 the default for every role, 3
 * for none; devices 4 (playback, disabled), 5 (playback, unplugged), 6
 * (recording, not present) and 7 (recording, unplugged); every device
 * named, Japanese names among them; both policy-config classes with every
 * id; no sessions, no failures, no calls. Live references are kept:
 * resetting cannot make a leak disappear. */
typedef void(__stdcall *FakeAudioResetFunction)(void);
typedef FakeAudioState *(__stdcall *FakeAudioGetStateFunction)(void);

#endif
