/*
 * The recording devices of the sim inside the loaded plug-in (the sim is
 * linked into it), as a microphone command finds them: the console default,
 * then the communications default where it is another device.
 */
#include <cstdio>
#include <initializer_list>

#include "hostkit/posix/sim.h"
#include "plughost/plughost.h"
#include "sim/sim.h"

int hostReadMicrophones(void *plugin, MicrophoneView *views, int size) {
  decltype(&simEndpointDefaultOf) defaultOf;
  decltype(&simEndpointName) nameOf;
  decltype(&simEndpoint) endpoint;
  if (!kitFindSim(plugin, "simEndpointDefaultOf", &defaultOf) ||
      !kitFindSim(plugin, "simEndpointName", &nameOf) ||
      !kitFindSim(plugin, "simEndpoint", &endpoint))
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
