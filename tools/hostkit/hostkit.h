/*
 * The Windows host kit: what every program that stands in for the host
 * needs, shared by plughost, the Windows tests and the benchmarks. It loads
 * a plug-in and finds its exports as the host does (exports.h, the portable
 * part), puts up a stand-in taskbar whose clock counts the messages it
 * gets, on the calling thread or on one of its own, and reads the sound
 * through handles of its own, independently of the plug-in's code.
 */
#ifndef VOLUME_HOSTKIT_H
#define VOLUME_HOSTKIT_H

#include <windows.h>

#include <mmdeviceapi.h>
#include <mmsystem.h>

#include <cstddef>
#include <cstdint>

#include "hostkit/exports.h"
#include "platform/platform.h" /* TRAY_CLOCK_REFRESH */

/* ---- The plug-in --------------------------------------------------------- */

/* LoadLibraryA; null with the system's reason when it fails. */
HMODULE kitLoadLibrary(const char *path, char *reason, size_t reasonSize);
/* The plug-in's settings file, by the plug-in's own rule, from its module
 * file name; 0 with the empty string when the name gives none. */
int kitSettingsPath(HMODULE plugin, char *path, size_t pathSize);

/* "<what> failed with error N: <the system's message>". */
void kitDescribeLastError(const char *what, char *reason, size_t reasonSize);

/* ---- The stand-in taskbar ------------------------------------------------ */

/* Moves the calling thread to a desktop of the process's own. The plug-in
 * finds the clock with FindWindowA, which searches the calling thread's
 * desktop; Wine shares one desktop between processes, and without this a
 * program could find (and block on) another program's stand-in taskbar. */
int kitUsePrivateDesktop(const char *namePrefix);

struct StandInTaskbar {
  HWND tray;   /* top-level "Shell_TrayWnd", no title */
  HWND notify; /* its child "TrayNotifyWnd", no title */
  HWND clock;  /* the notify area's child "TrayClockWClass", titled */
};

/* What the windows received since the last reset. */
struct ClockMessages {
  int refreshes;   /* the refresh to the clock, wParam and lParam 0 */
  int misdirected; /* the message with other arguments or to another window */
};

/* Creates the three windows on the calling thread, and checks that the
 * plug-in's search finds exactly them; 0 with the reason when not. */
int kitCreateTaskbar(StandInTaskbar *taskbar, char *reason, size_t reasonSize);
void kitDestroyTaskbar(StandInTaskbar *taskbar);
ClockMessages kitClockMessages(void);
void kitResetClockMessages(void);

/* ---- The stand-in taskbar on a thread of its own --------------------------
 * As the shell's windows belong to another thread than the host's: the
 * plug-in's message then crosses threads and waits for the clock's thread
 * to take it. */

enum ClockThreadMode {
  CLOCK_PUMPS_MESSAGES,  /* answers every message, as the shell does */
  CLOCK_STOPS_ANSWERING, /* once its windows exist, blocked on an event, as
                            a hung shell is */
  /* pumps, but before it answers the refresh, sends CLOCK_CALL_BACK to the
   * window in callBack and waits for that to be answered, as a shell may
   * send to the host while the host waits for it */
  CLOCK_CALLS_BACK
};

/* What the clock of CLOCK_CALLS_BACK sends to callBack: WM_APP. */
enum { CLOCK_CALL_BACK = 0x8000 };

struct ClockThread {
  ClockThreadMode mode;
  HDESK desktop; /* the starting thread's, where the plug-in searches */
  HANDLE thread;
  DWORD threadId;
  HANDLE ready;   /* set once the windows exist (or failed to) */
  HANDLE release; /* lets a thread that stopped answering go on */
  int created;
  StandInTaskbar taskbar;
  HWND callBack;          /* for CLOCK_CALLS_BACK; set by its user */
  WNDPROC clockProcedure; /* the clock's own, behind the call back */
};

/* Starts the thread on the calling thread's desktop and waits until its
 * taskbar exists; 0 when it could not be made. */
int kitStartClockThread(ClockThread *clock, ClockThreadMode mode);
/* Lets the thread answer again, has it destroy its windows, and waits for
 * it to end. */
void kitStopClockThread(ClockThread *clock);

/* ---- Mixer device 0, through a handle of the kit's own --------------------
 */

/* Under Wine the mixer's volume and mute are those of the calling
 * process's audio session, so a handle opened in the plug-in's process
 * sees what the plug-in did. */
struct MixerLineView {
  HMIXER mixer;
  uint32_t volumeControl;
  uint32_t muteControl;
  uint32_t minimum; /* the volume's bounds */
  uint32_t maximum;
  int hasVolume;
  int hasMute;
};

/* Opens device 0 and finds the line's volume and mute controls; the
 * result of the first call that failed, or MMSYSERR_NOERROR with at least
 * the line found (hasVolume and hasMute tell which controls it has). */
MMRESULT kitOpenMixerLine(uint32_t componentType, MixerLineView *view);
void kitCloseMixerLine(MixerLineView *view);

/* A line's control of a type (mixerGetLineControlsA, one by type). */
MMRESULT kitFindControl(HMIXER mixer, uint32_t lineId, uint32_t controlType,
                        MIXERCONTROLA *control);
/* A control read as one uniform value. *reported is 0 when the driver
 * reported success but left the value untouched. */
MMRESULT kitReadUniform(HMIXER mixer, uint32_t control, uint32_t *value,
                        int *reported);

/* One uniform value of a control. 0 when the read fails or when the
 * driver reports success but leaves the value untouched, as Wine does for
 * every line but the speakers. */
int kitReadControl(const MixerLineView *view, uint32_t control,
                   uint32_t *value);
int kitWriteControl(const MixerLineView *view, uint32_t control,
                    uint32_t value);

/* ---- The default playback endpoint, through Core Audio calls of the kit's
 * own ------------------------------------------------------------------- */

struct EndpointView {
  float scalar; /* master volume scalar, 0.0 to 1.0 */
  int muted;
};

/* Reads the master scalar and mute of the endpoint that is the default
 * for playback now. Enters COM on the calling thread if it has none, and
 * leaves it again. The HRESULT of the first call that failed, or S_OK. */
HRESULT kitReadEndpoint(EndpointView *view);
/* A default recording device, by its friendly name (or its id). */
struct RecordingDeviceView {
  WCHAR name[128];
  int muted;
};
/* The default recording device for the console role and, where it is
 * another device, the one for communications. Enters COM as
 * kitReadEndpoint does. How many were read, or -1 without Core Audio. */
int kitReadRecordingDevices(RecordingDeviceView *views, int size);

/* UTF-16 text as UTF-8, zero-terminated, for a terminal; 0, with the empty
 * string, where it does not fit or cannot be converted. */
int kitWideToUtf8(const WCHAR *text, char *utf8, size_t size);

/* A device's friendly name, as the Sound control panel shows it, through
 * its property store; 0, with name untouched, where it cannot be read (an
 * unplugged device's often cannot). */
int kitDeviceName(IMMDevice *device, WCHAR *name, size_t size);

/* Whether the loaded plug-in's settings file sets VolEndpoint=1. */
int kitPluginUsesEndpoint(HMODULE plugin);

/* ---- What the plug-in says on the debugger's channel ---------------------
 * OutputDebugStringA, where no debugger is attached, hands its text to
 * whoever holds the shared "DBWIN_BUFFER" section, as debug-output viewers
 * do: the kit holds it on a thread of its own and keeps the lines of its
 * own process. */

enum { KIT_DEBUG_TEXT_SIZE = 4096 };

/* Starts listening; 0 where another listener holds the section. */
int kitListenDebugOutput(void);
/* The lines said since the last take, each ending in "\n", as one text
 * cut to size; waits until every line said before the call is in. */
void kitTakeDebugOutput(char *text, size_t size);
/* Stops listening and lets the section go. */
void kitStopDebugOutput(void);

#endif
