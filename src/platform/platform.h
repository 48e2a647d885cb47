/*
 * The operations the plug-in needs from the operating system.
 *
 * The Windows build implements them with the real calls (win32/); every
 * other build links the sim (the top-level sim/), which behaves like the
 * platform for what the plug-in relies on. Nothing above this header
 * includes <windows.h>. Platform quirks are smoothed over below it.
 */
#ifndef VOLUME_PLATFORM_H
#define VOLUME_PLATFORM_H

#include <cstddef>
#include <cstdint>

/* ---- Multimedia mixer (winmm) ---------------------------------------- */

/* An MMRESULT: 0 is success, anything else a failure code. */
typedef uint32_t MixerResult;
/* An HMIXER; 0 means "not open". */
typedef uintptr_t MixerHandle;

/* Component types of mixer lines, as winmm numbers them. */
enum {
  MIXER_COMPONENT_DST_FIRST = 0x0000,
  MIXER_COMPONENT_DST_SPEAKERS = 0x0004,
  MIXER_COMPONENT_SRC_FIRST = 0x1000
};

/* Control types, as winmm numbers them. */
enum { MIXER_CONTROL_VOLUME = 0x50030001, MIXER_CONTROL_MUTE = 0x20010002 };

/* MIXERCAPSA, byte for byte. */
struct MixerCaps {
  uint16_t manufacturerId; /* wMid */
  uint16_t productId;      /* wPid */
  uint32_t driverVersion;  /* vDriverVersion */
  char productName[32];    /* szPname */
  uint32_t support;        /* fdwSupport */
  uint32_t destinations;   /* cDestinations */
};

/* What the plug-in keeps of a MIXERLINEA. */
struct MixerLine {
  uint32_t lineId;   /* dwLineID */
  uint32_t channels; /* cChannels */
};

/* What the plug-in keeps of a MIXERCONTROLA. */
struct MixerControl {
  uint32_t controlId;   /* dwControlID */
  uint32_t controlType; /* dwControlType */
  uint32_t minimum;     /* Bounds.dwMinimum */
  uint32_t maximum;     /* Bounds.dwMaximum */
};

/* mixerOpen of device 0, no callback. A handle that does not name
 * device 0 (Wine's, after a few hundred opens in one process) is given
 * back at once and replaced by a mark that names device 0 by number. */
MixerResult platformMixerOpen(MixerHandle *handle);
/* mixerGetDevCapsA with the open handle as the device. */
MixerResult platformMixerGetCaps(MixerHandle handle, MixerCaps *caps);
/* mixerGetLineInfoA: the first line of a component type. */
MixerResult platformMixerFindLine(MixerHandle handle, uint32_t componentType,
                                  MixerLine *line);
/* mixerGetLineControlsA: one control of a line, by control type. */
MixerResult platformMixerFindControl(MixerHandle handle, uint32_t lineId,
                                     uint32_t controlType,
                                     MixerControl *control);
/* mixerGetControlDetailsA: one 32-bit value per channel. A channel count of
 * 1 reads the control as one uniform value. Values the driver leaves
 * unwritten keep what the caller put there. */
MixerResult platformMixerRead(MixerHandle handle, const MixerControl *control,
                              uint32_t channels, uint32_t *values);
/* mixerSetControlDetails: one 32-bit value per channel. */
MixerResult platformMixerWrite(MixerHandle handle, const MixerControl *control,
                               uint32_t channels, const uint32_t *values);
/* mixerClose. */
MixerResult platformMixerClose(MixerHandle handle);

/* ---- Core Audio (ole32, MMDevAPI) ------------------------------------ */

/* Thin calls: each is one COM call, handing back the platform's own
 * HRESULT. What a result means (an absent Core Audio, an apartment of
 * the other kind, a success without an interface) is decided above this
 * header, once. */

/* An HRESULT: negative is a failure, zero or positive a success. */
typedef int32_t ComResult;
/* An interface pointer handed out by one of the calls below; the caller
 * owns one reference and gives it back with platformComRelease. */
typedef void *ComObject;

/* The HRESULTs the rules above the seam tell apart. */
enum : uint32_t {
  COM_S_FALSE = 1u,                          /* S_FALSE */
  COM_E_POINTER = 0x80004003u,               /* E_POINTER */
  COM_E_FAIL = 0x80004005u,                  /* E_FAIL */
  COM_E_NOT_SUFFICIENT_BUFFER = 0x8007007Au, /* HRESULT of that error */
  COM_E_NOT_FOUND = 0x80070490u,             /* HRESULT of ERROR_NOT_FOUND */
  COM_CLASS_NOT_REGISTERED = 0x80040154u,    /* REGDB_E_CLASSNOTREG */
  COM_CHANGED_MODE = 0x80010106u             /* RPC_E_CHANGED_MODE */
};

/* EDataFlow, as mmdeviceapi.h numbers it. */
enum AudioFlow { AUDIO_RENDER = 0, AUDIO_CAPTURE = 1 };
/* ERole, as mmdeviceapi.h numbers it. */
enum AudioRole {
  AUDIO_CONSOLE = 0,
  AUDIO_MULTIMEDIA = 1,
  AUDIO_COMMUNICATIONS = 2
};
/* What IMMDevice::Activate is asked for: an IAudioEndpointVolume, or an
 * IAudioSessionManager2 (Windows 7 and later). */
enum AudioInterface { AUDIO_ENDPOINT_VOLUME, AUDIO_SESSION_MANAGER };

/* CoInitializeEx(null, COINIT_APARTMENTTHREADED). */
ComResult platformComEnter(void);
/* CoUninitialize. */
void platformComLeave(void);
/* IUnknown::Release. */
void platformComRelease(ComObject object);

/* CoCreateInstance of the MMDeviceEnumerator class, in process, for its
 * IMMDeviceEnumerator. */
ComResult platformCreateDeviceEnumerator(ComObject *enumerator);
/* IMMDeviceEnumerator::GetDefaultAudioEndpoint: an IMMDevice. */
ComResult platformDefaultEndpoint(ComObject enumerator, AudioFlow flow,
                                  AudioRole role, ComObject *device);
/* IMMDeviceEnumerator::EnumAudioEndpoints of the active devices of a flow:
 * an IMMDeviceCollection. */
ComResult platformEnumerateEndpoints(ComObject enumerator, AudioFlow flow,
                                     ComObject *collection);
/* IMMDeviceCollection::GetCount and ::Item. */
ComResult platformEndpointCount(ComObject collection, uint32_t *count);
ComResult platformEndpointItem(ComObject collection, uint32_t index,
                               ComObject *device);
/* IMMDevice::GetId: the endpoint's id string, UTF-16 and zero-terminated,
 * copied into id; COM_E_NOT_SUFFICIENT_BUFFER, with nothing copied, when
 * it does not fit in size units. */
ComResult platformEndpointId(ComObject device, uint16_t *id, uint32_t size);
/* IMMDevice::Activate, in process, no activation parameters. */
ComResult platformActivate(ComObject device, AudioInterface which,
                           ComObject *object);

/* IAudioEndpointVolume::GetMasterVolumeLevelScalar: 0.0 to 1.0. */
ComResult platformGetVolumeScalar(ComObject volume, float *scalar);
/* IAudioEndpointVolume::SetMasterVolumeLevelScalar, no event context. */
ComResult platformSetVolumeScalar(ComObject volume, float scalar);
/* IAudioEndpointVolume::GetMute: 0 or 1 (a BOOL). */
ComResult platformGetVolumeMute(ComObject volume, int32_t *muted);
/* IAudioEndpointVolume::SetMute, no event context. */
ComResult platformSetVolumeMute(ComObject volume, int32_t muted);

/* ---- The default device, and the devices' names ------------------------ */

/* IMMDevice::OpenPropertyStore(STGM_READ): an IPropertyStore. */
ComResult platformOpenProperties(ComObject device, ComObject *properties);
/* IPropertyStore::GetValue(PKEY_Device_FriendlyName): the name as the
 * Sound control panel shows it, UTF-16 and zero-terminated, cut to size
 * units (the PROPVARIANT is cleared before returning). COM_E_FAIL, with
 * the empty string, where the device has no name as text. */
ComResult platformFriendlyName(ComObject properties, uint16_t *name,
                               uint32_t size);

/* The undocumented policy-config class, the only way Windows offers to
 * make a device the default (the control panel's own): created in
 * process, asked for the interface of each Windows version in turn.
 * *variant tells platformSetDefaultEndpoint which one answered. A class
 * or interface that cannot be had is a failure, COM_CLASS_NOT_REGISTERED
 * or E_NOINTERFACE among them. */
ComResult platformCreatePolicyConfig(ComObject *policy, uint32_t *variant);
/* IPolicyConfig::SetDefaultEndpoint: makes the device of that id the
 * default for one role. */
ComResult platformSetDefaultEndpoint(ComObject policy, uint32_t variant,
                                     const uint16_t *deviceId, AudioRole role);

/* ---- Audio sessions (Windows 7 and later) ---------------------------- */

/* AudioSessionState, as audiosessiontypes.h numbers it. */
enum SessionState {
  AUDIO_SESSION_INACTIVE = 0,
  AUDIO_SESSION_ACTIVE = 1,
  AUDIO_SESSION_EXPIRED = 2
};
/* What a session control is asked for with QueryInterface. */
enum SessionInterface { SESSION_CONTROL2, SESSION_SIMPLE_VOLUME };

/* IAudioSessionManager2::GetSessionEnumerator: an IAudioSessionEnumerator,
 * the device's sessions as they are now. */
ComResult platformSessionEnumerator(ComObject manager, ComObject *sessions);
/* IAudioSessionEnumerator::GetCount and ::GetSession (an
 * IAudioSessionControl). */
ComResult platformSessionCount(ComObject sessions, int32_t *count);
ComResult platformSessionItem(ComObject sessions, int32_t index,
                              ComObject *control);
/* IUnknown::QueryInterface of a session control: IAudioSessionControl2
 * or ISimpleAudioVolume. */
ComResult platformSessionQuery(ComObject control, SessionInterface which,
                               ComObject *object);
/* IAudioSessionControl::GetState, of an IAudioSessionControl or an
 * IAudioSessionControl2. */
ComResult platformSessionState(ComObject control, int32_t *state);
/* IAudioSessionControl2::GetProcessId. A session of several processes
 * answers with a success code other than S_OK and its first process. */
ComResult platformSessionProcessId(ComObject control2, uint32_t *processId);
/* IAudioSessionControl2::IsSystemSoundsSession: S_OK for the system
 * sounds' session, S_FALSE for any other. */
ComResult platformSessionIsSystemSounds(ComObject control2);
/* ISimpleAudioVolume::GetMasterVolume and ::SetMasterVolume (0.0 to 1.0,
 * no event context), ::GetMute (0 or 1) and ::SetMute. */
ComResult platformSessionGetVolume(ComObject volume, float *scalar);
ComResult platformSessionSetVolume(ComObject volume, float scalar);
ComResult platformSessionGetMute(ComObject volume, int32_t *muted);
ComResult platformSessionSetMute(ComObject volume, int32_t muted);

/* ---- Processes (kernel32) --------------------------------------------- */

/* A process handle opened for querying; 0 when none was opened. */
typedef uintptr_t ProcessHandle;

/* OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION). Windows XP has no such
 * access right and opens nothing. */
ProcessHandle platformOpenProcess(uint32_t processId);
/* Windows only, for its tests: Wine grants every right, so the OpenProcess
 * that platformOpenProcess calls (access mask, process id; never
 * inherited) can be replaced by one that refuses as Windows does. Null
 * puts the real one back. */
typedef ProcessHandle (*ProcessOpenCall)(uint32_t access, uint32_t processId);
void platformReplaceOpenProcess(ProcessOpenCall call);
/* QueryFullProcessImageNameW (Windows Vista and later, looked up when
 * called: the import table keeps to what Windows XP has): the executable's
 * full path, UTF-16 and zero-terminated. The length copied; 0 when the
 * call fails, does not exist or the path does not fit in size units. */
uint32_t platformProcessImageName(ProcessHandle process, uint16_t *path,
                                  uint32_t size);
/* GetProcessTimes (kernel32, Windows XP too), through a handle of
 * platformOpenProcess: when the process started, its creation time in
 * 100 ns units since 1601. 0 when it cannot be read. */
int platformProcessStarted(ProcessHandle process, uint64_t *started);
/* CloseHandle. */
void platformCloseProcess(ProcessHandle process);

/* Every process of the system, of every user, as one moment saw them: a
 * Toolhelp snapshot (kernel32, Windows XP too), which names a process
 * without opening it. */
typedef uintptr_t ProcessSnapshot;

enum { PROCESS_FILE_SIZE = 260 }; /* MAX_PATH: szExeFile's units */

/* What PROCESSENTRY32W tells of a process. */
struct ProcessEntry {
  uint32_t processId; /* th32ProcessID */
  /* th32ParentProcessID: the process that started it, as it was then.
   * Windows keeps the number after that process has ended and may give
   * it to a later process. */
  uint32_t parentId;
  uint16_t file[PROCESS_FILE_SIZE]; /* szExeFile: the executable's file
                                       name, no folder, zero-terminated */
};

/* CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS); 0 when none was taken. */
ProcessSnapshot platformSnapshotProcesses(void);
/* Process32FirstW (first: 1) or Process32NextW (0): the first or the
 * next process of the snapshot into *entry; 0 past the last one, or when
 * the call fails. */
int platformSnapshotProcess(ProcessSnapshot snapshot, int first,
                            ProcessEntry *entry);
/* CloseHandle of the snapshot. */
void platformCloseSnapshot(ProcessSnapshot snapshot);

/* ---- Files and modules (kernel32, version.dll) ----------------------- */

/* GetPrivateProfileIntA: the key's integer, or the default when the file,
 * section or key is missing. Never writes the file. */
int32_t platformProfileInt(const char *section, const char *key,
                           int32_t defaultValue, const char *path);

/* GetPrivateProfileStringA with an empty default: the key's text (one
 * pair of enclosing quotes dropped), cut to size - 1 bytes and
 * zero-terminated; the length copied, 0 when the file, section or key is
 * missing or the value is empty. Never writes the file. */
uint32_t platformProfileString(const char *section, const char *key,
                               char *buffer, uint32_t size, const char *path);
/* MultiByteToWideChar(CP_ACP): text in the ANSI code page (Shift_JIS on a
 * Japanese Windows) as UTF-16, zero-terminated, cut to size units; the
 * units written, 0 when it cannot be converted. */
uint32_t platformAnsiToWide(const char *text, uint16_t *wide, uint32_t size);

/* WideCharToMultiByte(CP_ACP): UTF-16 as text of the ANSI code page, cut
 * to size - 1 bytes without splitting a character and zero-terminated;
 * the bytes written. A character the code page lacks becomes its default
 * character ("?"). */
uint32_t platformWideToAnsi(const uint16_t *wide, char *text, uint32_t size);

/* OutputDebugStringA: one line for a debugger or a debug-output viewer;
 * nothing happens where neither listens. */
void platformDebugOutput(const char *line);

/* GetTickCount: milliseconds since Windows started, wrapping to 0 after
 * 49.7 days (differences in unsigned arithmetic stay right). */
uint32_t platformTickCount(void);
/* Sleep: the calling thread waits at least that many milliseconds. */
void platformSleep(uint32_t milliseconds);

/* GetModuleFileNameA: the length copied; 0 on failure and `size` when the
 * name was cut short. */
uint32_t platformModuleFileName(void *module, char *buffer, uint32_t size);

/* The fixed file version of a file's version resource. Returns 1 and sets
 * both halves when the file has a readable one, 0 otherwise. */
int platformFileVersion(const char *fileName, uint32_t *versionMS,
                        uint32_t *versionLS);

/* The general heap that records handed to the host come from. */
void *platformAlloc(size_t size);
void platformFree(void *block);

/* ---- Windows (user32) ------------------------------------------------- */

/* WM_USER + 6: the shell's taskbar clock redraws itself on it. */
enum { TRAY_CLOCK_REFRESH = 0x0406 };

/* An HWND; 0 when no window was found. */
typedef uintptr_t WindowHandle;

/* FindWindowA: a top-level window by class and title (null title: any). */
WindowHandle platformFindWindow(const char *className, const char *title);
/* FindWindowExA from the first child of `parent` (0: the top-level
 * windows). */
WindowHandle platformFindChildWindow(WindowHandle parent, const char *className,
                                     const char *title);
/* FindWindowExA: the next child window of a class after `after` (0: the
 * first), any title. */
WindowHandle platformNextChildWindow(WindowHandle parent, WindowHandle after,
                                     const char *className);
/* GetForegroundWindow: 0 when no window has the focus. */
WindowHandle platformForegroundWindow(void);
/* GetWindowThreadProcessId: the process that made the window; 0 when
 * there is no such window. */
uint32_t platformWindowProcess(WindowHandle window);
/* GetClassNameA: the length copied, 0 on failure. */
uint32_t platformWindowClass(WindowHandle window, char *name, uint32_t size);
/* SendMessageTimeoutA: waits for the window to take the message, but
 * about a second at most, and not at all for a thread the system holds
 * for hung. The reply and any time-out are of no interest here. */
void platformSendMessage(WindowHandle window, uint32_t message,
                         uintptr_t wParam, intptr_t lParam);

/* ---- The on-screen display ------------------------------------------- */

/* A rectangle in pixels: left and top inside, right and bottom outside. */
struct PixelRect {
  int32_t left, top, right, bottom;
};

/* The monitor that holds the foreground window (else the primary one). */
struct DisplayMonitor {
  PixelRect workArea; /* screen pixels, without the taskbar */
  uint32_t dpi;       /* the monitor's dots per inch, 96 at 100 % */
};

enum { DISPLAY_TEXT_SIZE = 80 };

/* One picture of the display, laid out to the pixel: the platform draws
 * it as it stands. Colours are 0x00RRGGBB. */
struct DisplayFrame {
  PixelRect window;          /* screen pixels */
  PixelRect textBox;         /* client pixels; the text is centred in it */
  PixelRect barTrack;        /* client pixels; empty: no bar */
  PixelRect barFill;         /* client pixels; the filled part, may be empty */
  int32_t fontHeight;        /* character height in pixels */
  uint32_t background;       /* the window's colour */
  uint32_t foreground;       /* the text's colour */
  uint32_t trackColour;      /* the bar's empty part */
  uint32_t fillColour;       /* the bar's filled part */
  uint32_t showMilliseconds; /* shown this long after the last frame */
  uint16_t text[DISPLAY_TEXT_SIZE]; /* UTF-16, zero-terminated */
};

enum { DISPLAY_VIEW_LIMIT = 128 }; /* bytes of a view the platform keeps */

/* Lays a view out for a monitor, to the pixel. */
typedef void (*DisplayLayout)(const void *view, const DisplayMonitor *monitor,
                              DisplayFrame *frame);
/* Keeps a copy of the view (at most DISPLAY_VIEW_LIMIT bytes) and shows
 * it: the platform finds the foreground window's monitor, lays the view
 * out for it with the layout function and shows the frame in the display
 * window, replacing the one shown, until showMilliseconds after the last
 * call. Never waits for the window, which lives on a thread of its own
 * (started by the first call) where the monitor is found and the layout
 * runs; views that come faster than the screen can show them are drawn
 * at its pace, the latest one each time. 0 when it cannot be shown as
 * far as the call can tell (the display cannot be started, the view is
 * too large; a platform that finds the monitor at once: there is none). */
int platformShowDisplay(const void *view, uint32_t viewSize,
                        DisplayLayout layout);
/* Ends the display: nothing of it stays (window, class, timer, thread,
 * GDI objects), so that the library can be unloaded right after. */
void platformCloseDisplay(void);

#endif
