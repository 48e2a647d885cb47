/*
 * The operations the plug-in needs from the operating system.
 *
 * The Windows build implements them with the real calls (win32/); every
 * other build links the stand-ins (standin/), which behave like the
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

/* mixerOpen of device 0, no callback. */
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
 * 1 reads the control as one uniform value. On success every value is
 * filled in: a channel the driver left unreported takes the first
 * channel's value, and a read that reported nothing fails. */
MixerResult platformMixerRead(MixerHandle handle, const MixerControl *control,
                              uint32_t channels, uint32_t *values);
/* mixerSetControlDetails: one 32-bit value per channel. */
MixerResult platformMixerWrite(MixerHandle handle, const MixerControl *control,
                               uint32_t channels, const uint32_t *values);
/* mixerClose. */
MixerResult platformMixerClose(MixerHandle handle);

/* What platformMixerRead returns for a read that reported nothing:
 * MMSYSERR_ERROR. */
enum { MIXER_READ_UNREPORTED = 1 };

/* Around a driver's read: fills values with a mark that no driver writes
 * for this control (where there is one), before the read ... */
void markUnreportedValues(const MixerControl *control, uint32_t channels,
                          uint32_t *values);
/* ... and after it, gives every unmarked channel the first one's value.
 * Returns 0 when even the first channel was left unreported. */
int fillUnreportedValues(const MixerControl *control, uint32_t channels,
                         uint32_t *values);

/* ---- Core Audio: the default playback endpoint (ole32, MMDevAPI) ------- */

/* An HRESULT: negative is a failure, zero or positive a success. */
typedef int32_t EndpointResult;

enum : uint32_t {
  /* REGDB_E_CLASSNOTREG from the enumerator's creation: this system has no
   * Core Audio (Windows XP and earlier). Never reported for a later step. */
  ENDPOINT_ABSENT = 0x80040154u,
  /* RPC_E_CHANGED_MODE: the calling thread is in the other kind of COM
   * apartment. It can use COM all the same, and it is not ours to leave. */
  ENDPOINT_OTHER_APARTMENT = 0x80010106u,
  /* E_FAIL: what a later step's REGDB_E_CLASSNOTREG becomes. */
  ENDPOINT_FAILED = 0x80004005u
};

/* One command's hold on the default playback endpoint. Begin fills it,
 * End empties it; nothing of it outlives the command. */
struct EndpointSession {
  void *volume; /* IAudioEndpointVolume of the default render endpoint */
  int leaveCom; /* this command entered COM: one CoUninitialize is owed */
};

/* Enters COM on the calling thread as a single-threaded apartment (a
 * thread in a multithreaded one keeps it), creates the device enumerator,
 * takes the default endpoint for rendering (eRender, eConsole) and
 * activates its volume. Whatever that default is now: nothing is kept
 * from an earlier command. On failure the session is empty and nothing
 * is held, COM left as found; the result is the failing step's code. */
EndpointResult platformEndpointBegin(EndpointSession *session);
/* Releases the endpoint's volume and leaves COM if Begin entered it. */
void platformEndpointEnd(EndpointSession *session);
/* IAudioEndpointVolume::GetMasterVolumeLevelScalar: 0.0 to 1.0. */
EndpointResult platformEndpointGetScalar(const EndpointSession *session,
                                         float *scalar);
/* IAudioEndpointVolume::SetMasterVolumeLevelScalar, no event context. */
EndpointResult platformEndpointSetScalar(const EndpointSession *session,
                                         float scalar);
/* IAudioEndpointVolume::GetMute: 0 or 1 (a BOOL). */
EndpointResult platformEndpointGetMute(const EndpointSession *session,
                                       int32_t *muted);
/* IAudioEndpointVolume::SetMute, no event context. */
EndpointResult platformEndpointSetMute(const EndpointSession *session,
                                       int32_t muted);

/* ---- Files and modules (kernel32, version.dll) ----------------------- */

/* GetPrivateProfileIntA: the key's integer, or the default when the file,
 * section or key is missing. Never writes the file. */
int32_t platformProfileInt(const char *section, const char *key,
                           int32_t defaultValue, const char *path);

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
/* SendMessageA; the reply is of no interest here. */
void platformSendMessage(WindowHandle window, uint32_t message,
                         uintptr_t wParam, intptr_t lParam);

#endif
