/*
 * Controls of the sim, the Windows of the native builds, for test
 * programs, the host driver and the benchmark. The sim implements
 * platform.h with:
 *
 *  - a mixer device 0 whose lines, controls and channel values can
 *    be shaped, and any of whose seven operations can be made to fail;
 *  - a profile reader that reads INI files as the platform's does;
 *  - the module's own path (dladdr), or a name a test sets;
 *  - a few windows, by default the shell's taskbar and its clock, that
 *    count the messages they receive;
 *  - the C heap, counted, with one allocation that can be made to fail;
 *  - a version query that finds no version resource (there is no such
 *    thing off Windows), so both version halves are 0;
 *  - Core Audio: playback endpoints with a master scalar and a
 *    mute each, a default that can be switched, the calling thread's COM
 *    apartment, live interface references, and any step failing with any
 *    HRESULT; audio sessions on the endpoints, each of a process, with a
 *    state, a volume and a mute;
 *  - processes with their executables, parents, starts and handles, their
 *    snapshot, application windows (a Store app's frame among them) and
 *    the foreground window, any call of which can be made to fail;
 *  - a display that keeps the last frame it was given, and a monitor
 *    whose work area and DPI can be set;
 *  - debug output that keeps the lines it is given;
 *  - a clock that moves only when the plug-in sleeps, without waiting.
 */
#ifndef VOLUME_SIM_H
#define VOLUME_SIM_H

#include <cstdint>

#include "platform/platform.h"

extern "C" {

/* ---- The sim's mixer --------------------------------------------------- */

enum SimMixerOp {
  SIM_MIXER_OPEN,    /* mixerOpen */
  SIM_MIXER_CAPS,    /* mixerGetDevCapsA */
  SIM_MIXER_LINE,    /* mixerGetLineInfoA */
  SIM_MIXER_CONTROL, /* mixerGetLineControlsA */
  SIM_MIXER_READ,    /* mixerGetControlDetailsA */
  SIM_MIXER_WRITE,   /* mixerSetControlDetails */
  SIM_MIXER_CLOSE,   /* mixerClose */
  SIM_MIXER_OPS
};

enum { SIM_MAX_LINES = 8, SIM_MAX_CHANNELS = 16, SIM_MAX_HANDLES = 512 };

/* winmm's codes, as the sim returns them. */
enum {
  SIM_MMSYSERR_ERROR = 1,
  SIM_MMSYSERR_BADDEVICEID = 2,
  SIM_MMSYSERR_INVALHANDLE = 5,
  SIM_MMSYSERR_NOMEM = 7,
  SIM_MMSYSERR_INVALPARAM = 11,
  SIM_MIXERR_INVALLINE = 1024,
  SIM_MIXERR_INVALCONTROL = 1025
};

struct SimLine {
  uint32_t componentType; /* winmm component type */
  uint32_t channels;      /* cChannels */
  int hasVolume;          /* offers a volume control */
  uint32_t minimum;       /* volume bounds */
  uint32_t maximum;
  uint32_t levels[SIM_MAX_CHANNELS]; /* volume per channel */
  int hasMute;                       /* offers a mute control */
  uint32_t mute;                     /* mute value as last written */
  /* Like Wine's mixer: a read of several channels fills only the first
   * value, and a write takes only the first value, for every channel. */
  int firstChannelOnly;
  /* Like Wine's wave-out line: reads succeed but fill in no value. */
  int reportsNothing;
};

/* What a read of a line's volume as one uniform value reports: its
 * loudest channel. Inline, so that a program reading a loaded plug-in's
 * sim's lines reports them as the sim does. */
static inline uint32_t simUniformLevel(const SimLine *line) {
  uint32_t level = line->levels[0];
  for (uint32_t i = 1; i < line->channels && i < SIM_MAX_CHANNELS; i++)
    if (line->levels[i] > level)
      level = line->levels[i];
  return level;
}

/* Device 0 with one speakers line: 2 channels at 0, volume 0..65535, mute
 * off. Clears faults and call counts; the device is present. */
void simMixerReset(void);
/* Adds a line of that component type shaped like the default one; null
 * when SIM_MAX_LINES are there already. */
SimLine *simMixerAddLine(uint32_t componentType, uint32_t channels);
/* The first line of a component type, or null. */
SimLine *simMixerLine(uint32_t componentType);
/* The lines in the order they were added, as a listing walks them: the
 * index-th line, or null past the last. */
SimLine *simMixerLineAt(unsigned index);
void simMixerRemoveLines(void);
/* Whether mixer device 0 exists; without it mixerOpen fails. */
void simMixerSetPresent(int present);
/* Makes an operation return this error until called again with 0. */
void simMixerFail(SimMixerOp op, MixerResult error);
/* How often an operation ran since the last reset (failures included). */
unsigned simMixerCalls(SimMixerOp op);
void simMixerClearCalls(void);
/* How many handles mixerOpen handed out that mixerClose has not closed.
 * After SIM_MAX_HANDLES opens, mixerOpen fails. */
unsigned simMixerOpenHandles(void);

/* The values of the last write that reached a control, whether the
 * sim's line kept them or not. */
struct SimMixerWrite {
  uint32_t controlType; /* MIXER_CONTROL_VOLUME or MIXER_CONTROL_MUTE */
  uint32_t minimum;     /* that control's bounds */
  uint32_t maximum;
  uint32_t channels; /* values written */
  uint32_t values[SIM_MAX_CHANNELS];
};
/* The last write since the calls were last cleared, or null. */
const SimMixerWrite *simMixerLastWrite(void);

/* ---- The sim's Core Audio --------------------------------------------- */

/* The COM calls of one endpoint command, in the order they run. */
enum SimEndpointOp {
  SIM_COM_ENTER,           /* CoInitializeEx */
  SIM_ENDPOINT_CREATE,     /* CoCreateInstance of the device enumerator */
  SIM_ENDPOINT_DEFAULT,    /* IMMDeviceEnumerator::GetDefaultAudioEndpoint */
  SIM_ENDPOINT_ACTIVATE,   /* IMMDevice::Activate(IAudioEndpointVolume) */
  SIM_ENDPOINT_GET_SCALAR, /* GetMasterVolumeLevelScalar */
  SIM_ENDPOINT_SET_SCALAR, /* SetMasterVolumeLevelScalar */
  SIM_ENDPOINT_GET_MUTE,   /* GetMute */
  SIM_ENDPOINT_SET_MUTE,   /* SetMute */
  SIM_ENDPOINT_ENUMERATE,  /* IMMDeviceEnumerator::EnumAudioEndpoints */
  SIM_ENDPOINT_COUNT,      /* IMMDeviceCollection::GetCount */
  SIM_ENDPOINT_ITEM,       /* IMMDeviceCollection::Item */
  SIM_ENDPOINT_ID,         /* IMMDevice::GetId */
  /* Counted only: these two cannot fail. */
  SIM_ENDPOINT_RELEASE, /* IUnknown::Release, of any interface */
  SIM_COM_LEAVE,        /* CoUninitialize */
  /* Switching the default device. */
  SIM_ENDPOINT_PROPERTIES, /* IMMDevice::OpenPropertyStore */
  SIM_ENDPOINT_NAME,       /* IPropertyStore::GetValue(the friendly name) */
  SIM_POLICY_CREATE,       /* CoCreateInstance of the policy-config class */
  SIM_POLICY_SET,          /* IPolicyConfig::SetDefaultEndpoint */
  SIM_ENDPOINT_OPS
};

/* The COM apartment of the calling thread. */
enum SimApartment { SIM_APARTMENT_NONE, SIM_APARTMENT_STA, SIM_APARTMENT_MTA };

enum {
  SIM_NAME_SIZE = 96,
  SIM_MAX_ENDPOINTS = 24, /* more than a list of 16 devices */
  SIM_NO_DEFAULT = -1,
  /* The recording device a machine starts with. */
  SIM_RECORDING_ENDPOINT = 3
};

/* HRESULTs, as the sim returns them. */
enum : uint32_t {
  SIM_S_FALSE = 1,
  SIM_E_NOTIMPL = 0x80004001u,
  SIM_E_FAIL = 0x80004005u,
  SIM_E_OUTOFMEMORY = 0x8007000Eu,
  SIM_E_INVALIDARG = 0x80070057u,
  SIM_E_NOTFOUND = 0x80070490u, /* no default endpoint */
  SIM_REGDB_E_CLASSNOTREG = 0x80040154u,
  SIM_CO_E_NOTINITIALIZED = 0x800401F0u,
  SIM_RPC_E_CHANGED_MODE = 0x80010106u,
  SIM_AUDCLNT_E_DEVICE_INVALIDATED = 0x88890004u,
  SIM_E_NOINTERFACE = 0x80004002u,
  SIM_AUDCLNT_S_NO_SINGLE_PROCESS = 0x0889000Du
};

/* A device's state, as Windows numbers it (DEVICE_STATE_*). */
enum : uint32_t {
  SIM_DEVICE_ACTIVE = 1,
  SIM_DEVICE_DISABLED = 2,
  SIM_DEVICE_NOT_PRESENT = 4,
  SIM_DEVICE_UNPLUGGED = 8
};

struct SimEndpoint {
  float scalar;  /* master volume scalar, 0.0 to 1.0 */
  int32_t muted; /* mute, as last written */
};

/* One active playback endpoint (number 0, the default for every role) and
 * one active recording endpoint (SIM_RECORDING_ENDPOINT, the default for
 * every role), at scalar 0 and not muted, the others playback endpoints
 * that are not active; Core Audio present; the thread without COM; no
 * faults, no calls, no references. */
void simEndpointReset(void);
/* Endpoint number index (below SIM_MAX_ENDPOINTS), there or not. */
SimEndpoint *simEndpoint(int index);
/* Makes endpoint index the default playback endpoint for every role;
 * SIM_NO_DEFAULT: there is none. */
void simEndpointSetDefault(int index);
/* The default endpoint of one flow for one role. */
void simEndpointSetDefaultFor(AudioFlow flow, AudioRole role, int index);
int simEndpointDefaultOf(AudioFlow flow, AudioRole role);
/* The friendly name, UTF-8: "Simulated speakers <index>" or "Simulated
 * microphone <index>" unless a test named it. */
const char *simEndpointName(int index);
/* Names an endpoint (UTF-8, at most SIM_NAME_SIZE - 1 bytes kept); null:
 * the sim's own name again. */
void simEndpointSetName(int index, const char *utf8);
/* Whether endpoint index carries sound out or in, and whether it is
 * active, so that enumerating the flow's active endpoints lists it. */
void simEndpointSetKind(int index, AudioFlow flow, int active);
/* The same with the device's state as Windows numbers it
 * (DEVICE_STATE_ACTIVE 1, _DISABLED 2, _NOTPRESENT 4, _UNPLUGGED 8). */
void simEndpointSetState(int index, AudioFlow flow, uint32_t state);
uint32_t simEndpointState(int index);
AudioFlow simEndpointFlow(int index);
/* The policy-config class: whether it is registered (Windows XP: not),
 * and the variant number its creation reports (0 unless set). */
void simPolicySetPresent(int present);
void simPolicySetVariant(uint32_t variant);
/* How often a role's default was written, since the last reset. */
unsigned simPolicyWrites(AudioRole role);
/* Like a Windows that is slow to show a new default: after a write, the
 * next `looks` GetDefaultAudioEndpoint calls for that flow and role still
 * give the default before it; 0 (the reset's): at once. */
void simPolicySetShowAfter(unsigned looks);
/* Whether the enumerator's class is registered. */
void simEndpointSetPresent(int present);
/* Like Wine's stub: SetMute succeeds but only the interface it was made
 * on remembers it; every activation starts unmuted. */
void simEndpointSetMuteStub(int stub);
/* Makes a step return this failure HRESULT, doing nothing, until called
 * again with 0. */
void simEndpointFail(SimEndpointOp op, uint32_t error);
/* The same, but the next `calls` calls of the step succeed first. */
void simEndpointFailAfter(SimEndpointOp op, unsigned calls, uint32_t error);
/* Only the call after those fails: one device among several, say. */
void simEndpointFailOnce(SimEndpointOp op, unsigned calls, uint32_t error);
/* Makes a step that hands back an interface report success without one
 * (a broken driver's or shim's answer), until called again with 0. */
void simEndpointHandBackNothing(SimEndpointOp op, int nothing);
/* How often a step ran since the last reset (failures included). */
unsigned simEndpointCalls(SimEndpointOp op);
/* All steps together. */
unsigned simEndpointAllCalls(void);
void simEndpointClearCalls(void);
/* What the plug-in last asked SetMasterVolumeLevelScalar and SetMute to
 * write since the calls were last cleared, accepted or not. */
struct SimEndpointWrites {
  int scalarWritten; /* SetMasterVolumeLevelScalar was called */
  float scalar;
  int muteWritten; /* SetMute was called */
  int32_t muted;
};
const SimEndpointWrites *simEndpointLastWrites(void);
/* The same for ISimpleAudioVolume's SetMasterVolume and SetMute. */
const SimEndpointWrites *simSessionLastWrites(void);
/* References to the enumerator, devices and volumes not yet released. */
long simEndpointLiveReferences(void);
/* Calls made on an interface after its last reference was released, or
 * on a pointer that never was one: the plug-in's mistakes. */
unsigned simEndpointMisuses(void);
/* Puts the calling thread into an apartment, entered once by the host. */
void simComSetApartment(SimApartment apartment);
SimApartment simComApartment(void);
/* How often the thread has entered the apartment and not yet left it. */
unsigned simComDepth(void);
/* CoInitializeEx calls that succeeded (S_OK, S_FALSE) and CoUninitialize
 * calls, since the last reset. */
unsigned simComEntered(void);
unsigned simComLeft(void);

/* ---- The sim's audio sessions ------------------------------------------ */

/* The calls on a device's sessions, each of which can fail. Activating the
 * session manager is IMMDevice::Activate, SIM_ENDPOINT_ACTIVATE. */
enum SimSessionOp {
  SIM_SESSION_LIST,       /* IAudioSessionManager2::GetSessionEnumerator */
  SIM_SESSION_COUNT,      /* IAudioSessionEnumerator::GetCount */
  SIM_SESSION_ITEM,       /* IAudioSessionEnumerator::GetSession */
  SIM_SESSION_QUERY,      /* QueryInterface of a session control */
  SIM_SESSION_STATE,      /* IAudioSessionControl::GetState */
  SIM_SESSION_PROCESS,    /* IAudioSessionControl2::GetProcessId */
  SIM_SESSION_SYSTEM,     /* IAudioSessionControl2::IsSystemSoundsSession */
  SIM_SESSION_GET_VOLUME, /* ISimpleAudioVolume::GetMasterVolume */
  SIM_SESSION_SET_VOLUME, /* ISimpleAudioVolume::SetMasterVolume */
  SIM_SESSION_GET_MUTE,   /* ISimpleAudioVolume::GetMute */
  SIM_SESSION_SET_MUTE,   /* ISimpleAudioVolume::SetMute */
  SIM_SESSION_OPS
};

enum { SIM_MAX_SESSIONS = 64 };

struct SimSession {
  int endpoint;         /* the device it plays on */
  uint32_t processId;   /* GetProcessId's answer */
  int32_t state;        /* an AudioSessionState */
  int systemSounds;     /* the system sounds' session */
  int severalProcesses; /* GetProcessId says AUDCLNT_S_NO_SINGLE_PROCESS */
  float scalar;         /* ISimpleAudioVolume's master volume */
  int32_t muted;
  const char *displayName;
  uint32_t processError; /* GetProcessId fails with it; 0: it answers */
};

/* A session on an endpoint for a process, active, at volume 1, not muted;
 * null when SIM_MAX_SESSIONS are there already. simEndpointReset removes
 * every session. */
SimSession *simSessionAdd(int endpoint, uint32_t processId);
/* The index-th session in the order they were added, or null. */
SimSession *simSessionAt(unsigned index);
/* Whether a device answers for IAudioSessionManager2 (Windows 7 and
 * later); without it Activate fails with E_NOINTERFACE, as on Vista. */
void simSessionSetManagerPresent(int present);
/* Makes one device's GetSessionEnumerator fail with this HRESULT (an
 * unplugged device's AUDCLNT_E_DEVICE_INVALIDATED, say) until called again
 * with 0; and what it fails with now. */
void simSessionListFail(int endpoint, uint32_t error);
uint32_t simSessionListError(int endpoint);
/* As simEndpointFail, simEndpointFailAfter, simEndpointHandBackNothing
 * and simEndpointCalls, for the session calls. */
void simSessionFail(SimSessionOp op, uint32_t error);
void simSessionFailAfter(SimSessionOp op, unsigned calls, uint32_t error);
void simSessionFailOnce(SimSessionOp op, unsigned calls, uint32_t error);
void simSessionHandBackNothing(SimSessionOp op, int nothing);
unsigned simSessionCalls(SimSessionOp op);

/* ---- The sim's processes and application windows ------------------------ */

/* The calls that find the focused application, each of which can fail. */
enum SimFocusOp {
  SIM_FOCUS_FOREGROUND, /* GetForegroundWindow */
  SIM_FOCUS_PROCESS,    /* GetWindowThreadProcessId */
  SIM_FOCUS_CLASS,      /* GetClassNameA */
  SIM_FOCUS_CHILD,      /* FindWindowExA */
  SIM_PROCESS_OPEN,     /* OpenProcess */
  SIM_PROCESS_IMAGE,    /* QueryFullProcessImageNameW */
  SIM_PROCESS_TIMES,    /* GetProcessTimes */
  SIM_PROCESS_SNAPSHOT, /* CreateToolhelp32Snapshot */
  SIM_PROCESS_WALK,     /* Process32FirstW and Process32NextW */
  SIM_PROCESS_CLOSE,    /* CloseHandle, of a process or a snapshot;
                           counted only */
  SIM_FOCUS_OPS
};

enum { SIM_MAX_PROCESSES = 128, SIM_MAX_APP_WINDOWS = 16 };

struct SimProcess {
  uint32_t processId;
  const char *imagePath; /* the executable, ASCII; null: none to tell */
  int openable;          /* OpenProcess succeeds for it */
  uint32_t parentId;     /* what a snapshot gives as its parent */
  uint64_t started;      /* GetProcessTimes' creation time */
};

/* The file name a snapshot gives a process: its executable's path past
 * the last separator; empty where it has none to tell. Inline, so that a
 * program reading a loaded plug-in's sim names a process as it does. */
static inline const char *simProcessFile(const SimProcess *process) {
  const char *file = process->imagePath ? process->imagePath : "";
  for (const char *at = file; *at; at++)
    if (*at == '\\' || *at == '/')
      file = at + 1;
  return file;
}

struct SimAppWindow {
  WindowHandle handle;
  WindowHandle parent; /* 0: a top-level window */
  const char *className;
  uint32_t processId;
};

/* No processes, no application windows, no foreground window; the
 * image-name function present; no faults, calls or open handles. */
void simFocusReset(void);
/* A running process, openable, without a parent (0), started after every
 * process added before it (its start the number of processes added, it
 * included); null when SIM_MAX_PROCESSES are there. A snapshot lists the
 * processes in the order they were added, as they are when it is walked. */
SimProcess *simProcessAdd(uint32_t processId, const char *imagePath);
/* A window of a class made by a process: top-level for parent 0, else a
 * child of parent. Its handle; 0 when SIM_MAX_APP_WINDOWS are there. */
WindowHandle simAppWindowAdd(WindowHandle parent, const char *className,
                             uint32_t processId);
void simSetForegroundWindow(WindowHandle window);
/* What a listing reads: the foreground window (0: none), and the index-th
 * process and window in the order they were added, or null. */
WindowHandle simForegroundWindow(void);
const SimProcess *simProcessAt(unsigned index);
/* The first process added with that id, to be shaped further; or null. */
SimProcess *simProcessOf(uint32_t processId);
const SimAppWindow *simAppWindowAt(unsigned index);
/* Whether QueryFullProcessImageNameW exists (not on Windows XP). */
void simProcessSetImageLookup(int present);
/* Makes a call fail (0, or no handle) until called again with 0. */
void simFocusFail(SimFocusOp op, int fail);
/* The same, but the next `calls` calls succeed first: a snapshot's walk
 * that stops early, say. */
void simFocusFailAfter(SimFocusOp op, unsigned calls, int fail);
unsigned simFocusCalls(SimFocusOp op);
/* Handles OpenProcess and CreateToolhelp32Snapshot gave out and
 * CloseHandle has not closed, and calls on a handle that was not open. */
long simProcessOpenHandles(void);
unsigned simProcessMisuses(void);

/* ---- Module name, windows, heap --------------------------------------- */

/* The name GetModuleFileNameA reports; null: the module's real path. */
void simSetModuleFileName(const char *name);

/* The taskbar with its notification area and clock, nothing else. */
void simWindowsReset(void);
/* Closes every window of a class (and, with it, its children). */
void simWindowsRemove(const char *className);
/* Messages 1030 that the taskbar clock has received. */
unsigned simTrayClockNotifications(void);
/* How many window look-ups and sends ran, found or not. */
unsigned simWindowCalls(void);

/* Counts from now; no allocation fails. */
void simHeapReset(void);
/* The index-th allocation from now (0 is the next) fails; -1: none. */
void simHeapFailAllocation(long index);
/* Fills every block allocated from now with this byte, as a heap that
 * hands out used memory would leave it; -1 (and simHeapReset): as malloc
 * returns it. */
void simHeapPoisonNewBlocks(int byte);
/* Allocations since the reset, and blocks not yet freed. */
unsigned long simHeapAllocations(void);
long simHeapLiveBlocks(void);

/* ---- Clock ------------------------------------------------------------- */

/* The tick count, which only platformSleep moves (by what it was asked
 * to wait, at once); it starts 4096 ms before it wraps to 0. */
void simClockSet(uint32_t ticks);
/* Milliseconds the plug-in has slept since the program started. */
uint64_t simClockSlept(void);

/* ---- Debug output ------------------------------------------------------ */

enum { SIM_DEBUG_LINES = 16, SIM_DEBUG_LINE_SIZE = 256 };

/* Forgets every line said. */
void simDebugReset(void);
/* Lines OutputDebugStringA was given since the reset (all of them
 * counted, the first SIM_DEBUG_LINES kept), and the index-th one, or null. */
unsigned simDebugLineCount(void);
const char *simDebugLine(unsigned index);

/* ---- Display ----------------------------------------------------------- */

/* A 1920 x 1040 work area at 96 DPI; nothing shown; nothing fails. */
void simDisplayReset(void);
void simDisplaySetMonitor(const DisplayMonitor *monitor);
/* 1: the monitor cannot be found; 2: the display cannot be started. */
void simDisplayFail(int which);
/* Frames shown since the reset, the last of them, and whether the display
 * is up (shown and not closed since). */
unsigned simDisplayFrames(void);
const DisplayFrame *simDisplayLastFrame(void);
int simDisplayOpen(void);

} /* extern "C" */

#endif
