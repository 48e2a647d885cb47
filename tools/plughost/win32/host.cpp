/*
 * plughost on Windows: the plug-in is a DLL that talks to winmm's mixer
 * and to the shell's taskbar clock. The host kit does the work: it loads
 * the plug-in, puts up the stand-in taskbar and reads the speakers of
 * mixer device 0 through a handle of its own, or, when the plug-in's
 * settings set VolEndpoint=1, the default playback endpoint through Core
 * Audio calls of its own. On Wine the mixer's volume
 * is the calling process's audio-session volume, so only a handle in the
 * plug-in's own process sees what it changed.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/hostkit.h"
#include "plughost/dll_machine.h"
#include "plughost/plughost.h"

void hostPrepareOutput(void) { SetConsoleOutputCP(CP_UTF8); }

void *hostLoadPlugin(const char *path, char *reason, size_t reasonSize) {
  return (void *)kitLoadLibrary(path, reason, reasonSize);
}

void hostUnloadPlugin(void *plugin) { FreeLibrary((HMODULE)plugin); }

uint16_t hostDllMachine(void) {
  return sizeof(void *) == 8 ? DLL_MACHINE_AMD64 : DLL_MACHINE_I386;
}

/* The plug-in finds its settings by its module's full name; so does this,
 * which also keeps the profile reader from looking in the Windows folder
 * for a name without a folder. */
int hostSettingsPath(void *plugin, const char *, char *path, size_t pathSize) {
  return kitSettingsPath((HMODULE)plugin, path, pathSize);
}

int32_t hostProfileInt(const char *section, const char *key,
                       int32_t defaultValue, const char *path) {
  return (int32_t)GetPrivateProfileIntA(section, key, defaultValue, path);
}

int hostCaptionToUtf8(const char *text, char *utf8, size_t utf8Size) {
  WCHAR wide[1024];
  if (!MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text, -1, wide,
                           sizeof wide / sizeof wide[0]))
    return 0;
  return kitWideToUtf8(wide, utf8, utf8Size);
}

/* ---- Stand-in taskbar -------------------------------------------------- */

static StandInTaskbar taskbar;

/* The plug-in's send comes from this thread, so it calls the clock's
 * procedure directly: no message loop is needed. */
int hostCreateTaskbar(char *reason, size_t reasonSize) {
  if (!kitUsePrivateDesktop("plughost"))
    fprintf(stderr, "plughost: no desktop of its own (error %lu)\n",
            (unsigned long)GetLastError());
  return kitCreateTaskbar(&taskbar, reason, reasonSize);
}

int hostClockNotifications(unsigned *count) {
  *count = (unsigned)kitClockMessages().refreshes;
  return taskbar.clock != nullptr;
}

/* ---- Speakers of mixer device 0 ---------------------------------------- */

static MixerLineView speakers;
/* The plug-in acts on the default endpoint: read that instead, through
 * the kit's own Core Audio calls. */
static int observeEndpoint;

static int listening;

int hostTakeDebugLines(char *text, size_t size) {
  text[0] = '\0';
  if (listening)
    kitTakeDebugOutput(text, size);
  return listening;
}

void hostStartObserving(void *, int endpoint) {
  listening = kitListenDebugOutput();
  if (!listening)
    fputs("plughost: another program listens on the debugger's channel (a "
          "debug-output viewer?): the plug-in's reasons for a failure show "
          "there, not here\n",
          stderr);
  observeEndpoint = endpoint;
  if (observeEndpoint)
    return;
  if (kitOpenMixerLine(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, &speakers) !=
      MMSYSERR_NOERROR)
    kitCloseMixerLine(&speakers);
}

static void readEndpoint(SoundState *state) {
  EndpointView view;
  if (FAILED(kitReadEndpoint(&view)))
    return;
  state->volumeKnown = percentOfScalar(view.scalar, &state->volumePercent);
  state->muteKnown = 1;
  state->muted = view.muted;
}

void hostReadSound(SoundState *state) {
  *state = SoundState();
  if (observeEndpoint) {
    readEndpoint(state);
    return;
  }
  uint32_t value = 0;
  if (speakers.hasVolume &&
      kitReadControl(&speakers, speakers.volumeControl, &value))
    state->volumeKnown = percentOfRange(
        value, speakers.minimum, speakers.maximum, &state->volumePercent);
  if (speakers.hasMute &&
      kitReadControl(&speakers, speakers.muteControl, &value)) {
    state->muteKnown = 1;
    state->muted = value != 0;
  }
}

void hostStopObserving(void) {
  if (listening)
    kitStopDebugOutput();
  listening = 0;
  kitCloseMixerLine(&speakers);
  observeEndpoint = 0;
}
