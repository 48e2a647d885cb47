/*
 * The recording devices of the simulated Core Audio inside the loaded
 * plug-in (the stand-ins are linked into it), as a microphone command
 * finds them: the console default, then the communications default where
 * it is another device.
 */
#include <cstdio>
#include <initializer_list>

#include "platform/standin/standin.h"
#include "plughost/plughost.h"

template <typename Function>
static Function *simulated(void *plugin, const char *name) {
  return reinterpret_cast<Function *>(kitFindExport(plugin, name));
}

int hostReadMicrophones(void *plugin, MicrophoneView *views, int size) {
  auto defaultOf =
      simulated<decltype(simEndpointDefaultOf)>(plugin, "simEndpointDefaultOf");
  auto nameOf = simulated<decltype(simEndpointName)>(plugin, "simEndpointName");
  auto endpoint = simulated<decltype(simEndpoint)>(plugin, "simEndpoint");
  if (!defaultOf || !nameOf || !endpoint)
    return -1;
  int count = 0;
  for (AudioRole role : {AUDIO_CONSOLE, AUDIO_COMMUNICATIONS}) {
    int index = defaultOf(AUDIO_CAPTURE, role);
    if (index == SIM_NO_DEFAULT || count >= size ||
        (count > 0 && index == defaultOf(AUDIO_CAPTURE, AUDIO_CONSOLE)))
      continue;
    snprintf(views[count].name, sizeof views[count].name, "%s", nameOf(index));
    views[count++].muted = endpoint(index)->muted != 0;
  }
  return count;
}
