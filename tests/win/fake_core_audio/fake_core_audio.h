/*
 * A Core Audio server of the tests' own: an in-process COM server for the
 * MMDeviceEnumerator class that serves the enumerator, playback and
 * recording devices with their ids, their IAudioEndpointVolume, and the
 * audio sessions of the playback devices (IAudioSessionManager2, its
 * session enumerator, each session's IAudioSessionControl2 and
 * ISimpleAudioVolume). Registered
 * for that class in a Wine prefix of its own, it is what CoCreateInstance finds
 * there, so the plug-in's real COM calls land here.
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
  FAKE_CALLS
};

/* Devices 0 and 1 play, 2 and 3 record. */
enum {
  FAKE_DEVICES = 4,
  FAKE_FIRST_RECORDING = 2,
  FAKE_NO_DEFAULT = -1,
  FAKE_ROLES = 3,   /* ERole */
  FAKE_LOOKUPS = 8, /* GetDefaultAudioEndpoint calls remembered */
  FAKE_SESSIONS = 8
};

struct FakeDevice {
  float scalar; /* master volume scalar */
  BOOL muted;
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
  int defaultDevice;                 /* for eRender, every role; or none */
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
};

/* Everything back to one default playback device at scalar 0.5, unmuted,
 * the second at 0.25; recording device 2 the default for every role, 3
 * for none; no sessions, no failures, no calls. Live references are kept:
 * resetting cannot make a leak disappear. */
typedef void(__stdcall *FakeAudioResetFunction)(void);
typedef FakeAudioState *(__stdcall *FakeAudioGetStateFunction)(void);

#endif
