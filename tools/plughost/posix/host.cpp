/*
 * plughost off Windows: the plug-in is a shared object built over the
 * sim. The sim exports its controls, so its speakers and its taskbar clock
 * are read through the plug-in itself: they live inside it, and a second
 * copy would see nothing.
 */
#include <dlfcn.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>

#include "hostkit/posix/sim.h"
#include "plughost/dll_machine.h"
#include "plughost/plughost.h"
#include "plugin/settings_path.h"
#include "sim/sim.h"

void hostPrepareOutput(void) {}

void *hostLoadPlugin(const char *path, char *reason, size_t reasonSize) {
  /* dlopen searches the library path for a bare file name, where the host
   * would take it from the working directory. */
  char local[4096];
  if (!strchr(path, '/') &&
      (size_t)snprintf(local, sizeof local, "./%s", path) < sizeof local)
    path = local;
  void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char *error = dlerror();
    snprintf(reason, reasonSize, "%s", error ? error : "dlopen failed");
  }
  return library;
}

void hostUnloadPlugin(void *plugin) { dlclose(plugin); }

/* Plug-ins here are shared objects: no DLL is this plughost's own. */
uint16_t hostDllMachine(void) { return DLL_MACHINE_NONE; }

/* The name the library was loaded by: relative names are taken from the
 * working directory, by dlopen and fopen alike. */
int hostSettingsPath(void *, const char *given, char *path, size_t pathSize) {
  /* A failed print counts as a name cut short. */
  int length = snprintf(path, pathSize, "%s", given);
  return settingsPathFromModuleName(path, (uint32_t)length, (uint32_t)pathSize);
}

/* The sim's profile reader, as the plug-in reads the file. */
int32_t hostProfileInt(const char *section, const char *key,
                       int32_t defaultValue, const char *path) {
  return platformProfileInt(section, key, defaultValue, path);
}

int hostCaptionToUtf8(const char *text, char *utf8, size_t utf8Size) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == (iconv_t)-1 || utf8Size == 0)
    return 0;
  /* iconv's prototype takes char ** for the input; it only reads it. */
  char *in = const_cast<char *>(text);
  size_t inLeft = strlen(text);
  char *out = utf8;
  size_t outLeft = utf8Size - 1;
  size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (converted == (size_t)-1 || inLeft != 0)
    return 0;
  *out = '\0';
  return 1;
}

/* The sim always has the taskbar and its clock. */
int hostCreateTaskbar(char *, size_t) { return 1; }

static decltype(&simMixerLine) findSimLine;
static decltype(&simEndpoint) findSimEndpoint;
static decltype(&simTrayClockNotifications) countClockMessages;

static decltype(simDebugLineCount) *countDebugLines;
static decltype(simDebugLine) *debugLine;
static decltype(simDebugReset) *resetDebugLines;

/* The sim keeps the lines the plug-in said; each take forgets them. */
int hostTakeDebugLines(char *text, size_t size) {
  size_t length = 0;
  text[0] = '\0';
  if (!countDebugLines || !debugLine || !resetDebugLines)
    return 0;
  for (unsigned i = 0; const char *line = debugLine(i); i++)
    length += (size_t)snprintf(text + length, length < size ? size - length : 0,
                               "%s", line);
  resetDebugLines();
  return 1;
}

void hostStartObserving(void *plugin, int endpoint) {
  kitFindSim(plugin, "simDebugLineCount", &countDebugLines);
  kitFindSim(plugin, "simDebugLine", &debugLine);
  kitFindSim(plugin, "simDebugReset", &resetDebugLines);
  if (resetDebugLines)
    resetDebugLines();
  if (endpoint)
    kitFindSim(plugin, "simEndpoint", &findSimEndpoint);
  else
    kitFindSim(plugin, "simMixerLine", &findSimLine);
  kitFindSim(plugin, "simTrayClockNotifications", &countClockMessages);
}

/* The sim's first endpoint, its default unless a test moved it. */
static void readEndpoint(SoundState *state) {
  const SimEndpoint *endpoint = findSimEndpoint(0);
  state->volumeKnown = percentOfScalar(endpoint->scalar, &state->volumePercent);
  state->muteKnown = 1;
  state->muted = endpoint->muted != 0;
}

void hostReadSound(SoundState *state) {
  *state = SoundState();
  if (findSimEndpoint) {
    readEndpoint(state);
    return;
  }
  const SimLine *line =
      findSimLine ? findSimLine(MIXER_COMPONENT_DST_SPEAKERS) : nullptr;
  if (!line)
    return;
  if (line->hasVolume)
    state->volumeKnown = percentOfRange(simUniformLevel(line), line->minimum,
                                        line->maximum, &state->volumePercent);
  state->muteKnown = line->hasMute;
  state->muted = line->mute != 0;
}

int hostClockNotifications(unsigned *count) {
  if (!countClockMessages)
    return 0;
  *count = countClockMessages();
  return 1;
}

void hostStopObserving(void) {
  countDebugLines = nullptr;
  debugLine = nullptr;
  resetDebugLines = nullptr;
  findSimLine = nullptr;
  findSimEndpoint = nullptr;
  countClockMessages = nullptr;
}
