/*
 * plughost on Windows: the plug-in is a DLL that talks to winmm's mixer
 * and to the shell's taskbar clock.
 *
 * The sound is read through plughost's own handle of mixer device 0. On
 * Wine the mixer's volume is the calling process's audio-session volume,
 * so only a handle in the plug-in's own process sees what it changed.
 */
#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "plughost.h"

/* WM_USER + 6: the message the plug-in sends the clock after a command. */
static const UINT TRAY_CLOCK_REFRESH = 0x0406;

void hostPrepareOutput(void) { SetConsoleOutputCP(CP_UTF8); }

static void describeLastError(const char *what, char *reason,
                              size_t reasonSize) {
  DWORD error = GetLastError();
  char message[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, error, 0, message, sizeof message, nullptr);
  /* System messages end in a line break. */
  for (size_t end = strlen(message);
       end > 0 && (message[end - 1] == '\n' || message[end - 1] == '\r');)
    message[--end] = '\0';
  snprintf(reason, reasonSize, "%s failed with error %lu: %s", what,
           (unsigned long)error, message);
}

void *hostLoadPlugin(const char *path, char *reason, size_t reasonSize) {
  HMODULE library = LoadLibraryA(path);
  if (!library)
    describeLastError("LoadLibraryA", reason, reasonSize);
  return (void *)library;
}

ExportAddress hostFindExport(void *plugin, const char *name) {
  return reinterpret_cast<ExportAddress>(GetProcAddress((HMODULE)plugin, name));
}

void hostUnloadPlugin(void *plugin) { FreeLibrary((HMODULE)plugin); }

int hostCaptionToUtf8(const char *text, char *utf8, size_t utf8Size) {
  WCHAR wide[1024];
  if (!MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, -1, wide,
                           sizeof wide / sizeof wide[0]))
    return 0;
  return WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, (int)utf8Size, nullptr,
                             nullptr) != 0;
}

/* ---- Stand-in taskbar -------------------------------------------------- */

static int taskbarExists;
static unsigned clockMessages;

/* On a shared desktop a plug-in in another process may find this clock
 * too; it is not the one under test, so only sends from this thread
 * (direct calls, not InSendMessage) are counted. */
static LRESULT CALLBACK clockProcedure(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) {
  if (message == TRAY_CLOCK_REFRESH) {
    clockMessages += !InSendMessage();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

/* A window with no title, as the shell's are; hidden, so no display is
 * needed beyond Wine's null graphics driver. */
static HWND createWindow(const char *className, HWND parent,
                         WNDPROC procedure) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass))
    return nullptr;
  return CreateWindowExA(0, className, "", parent ? WS_CHILD : WS_POPUP, 0, 0,
                         0, 0, parent, nullptr, windowClass.hInstance, nullptr);
}

/* A desktop of this process's own, where no other program's taskbar is
 * found and no other program finds this one. Where it cannot be had, the
 * shared desktop will do. */
static void useOwnDesktop(void) {
  char name[64];
  snprintf(name, sizeof name, "plughost-%lu",
           (unsigned long)GetCurrentProcessId());
  HDESK desktop =
      CreateDesktopA(name, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (!desktop || !SetThreadDesktop(desktop))
    fprintf(stderr, "plughost: no desktop of its own (error %lu)\n",
            (unsigned long)GetLastError());
}

/* The plug-in's SendMessageA comes from this thread, so it calls the
 * clock's procedure directly: no message loop is needed. */
int hostCreateTaskbar(char *reason, size_t reasonSize) {
  useOwnDesktop();
  HWND tray = createWindow("Shell_TrayWnd", nullptr, DefWindowProcA);
  HWND notify =
      tray ? createWindow("TrayNotifyWnd", tray, DefWindowProcA) : nullptr;
  HWND clock = notify ? createWindow("TrayClockWClass", notify, clockProcedure)
                      : nullptr;
  if (!clock) {
    describeLastError("creating the taskbar windows", reason, reasonSize);
    return 0;
  }
  /* The plug-in searches the way the shell's clock is found; another
   * taskbar found first would take the messages. */
  if (FindWindowA("Shell_TrayWnd", "") != tray ||
      FindWindowExA(tray, nullptr, "TrayNotifyWnd", "") != notify ||
      FindWindowExA(notify, nullptr, "TrayClockWClass", nullptr) != clock) {
    snprintf(reason, reasonSize, "another taskbar is found before this one");
    return 0;
  }
  taskbarExists = 1;
  return 1;
}

int hostClockNotifications(unsigned *count) {
  *count = clockMessages;
  return taskbarExists;
}

/* ---- Speakers of mixer device 0 ---------------------------------------- */

struct MixerControlInfo {
  DWORD id;
  DWORD minimum;
  DWORD maximum;
  int found;
};

static HMIXER mixer;
static MixerControlInfo volumeControl, muteControl;

static MixerControlInfo findControl(DWORD lineId, DWORD controlType) {
  MIXERCONTROLA control = {};
  control.cbStruct = sizeof control;
  MIXERLINECONTROLSA query = {};
  query.cbStruct = sizeof query;
  query.dwLineID = lineId;
  query.dwControlType = controlType;
  query.cControls = 1;
  query.cbmxctrl = sizeof control;
  query.pamxctrl = &control;
  MixerControlInfo info = {};
  info.found = mixerGetLineControlsA((HMIXEROBJ)mixer, &query,
                                     MIXER_OBJECTF_HMIXER |
                                         MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
               MMSYSERR_NOERROR;
  info.id = control.dwControlID;
  info.minimum = control.Bounds.dwMinimum;
  info.maximum = control.Bounds.dwMaximum;
  return info;
}

void hostStartObserving(void *) {
  volumeControl = muteControl = MixerControlInfo();
  if (mixerOpen(&mixer, 0, 0, 0, 0) != MMSYSERR_NOERROR) {
    mixer = nullptr;
    return;
  }
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  if (mixerGetLineInfoA((HMIXEROBJ)mixer, &line,
                        MIXER_OBJECTF_HMIXER |
                            MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR)
    return;
  volumeControl = findControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME);
  muteControl = findControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE);
}

/* A control read as one uniform value (one channel). */
static int readControl(const MixerControlInfo *control, DWORD *value) {
  if (!mixer || !control->found)
    return 0;
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control->id;
  details.cChannels = 1;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof *value;
  details.paDetails = value;
  return mixerGetControlDetailsA((HMIXEROBJ)mixer, &details,
                                 MIXER_OBJECTF_HMIXER |
                                     MIXER_GETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

void hostReadSound(SoundState *state) {
  *state = SoundState();
  DWORD value = 0;
  if (readControl(&volumeControl, &value))
    state->volumeKnown =
        percentOfRange(value, volumeControl.minimum, volumeControl.maximum,
                       &state->volumePercent);
  if (readControl(&muteControl, &value)) {
    state->muteKnown = 1;
    state->muted = value != 0;
  }
}

void hostStopObserving(void) {
  if (mixer)
    mixerClose(mixer);
  mixer = nullptr;
}
