/*
 * `plughost devices` off Windows: the endpoints of the sim inside the
 * loaded plug-in, read through the controls it exports. Every slot of the
 * sim is a device, as every device Windows ever saw
 * is listed in some state.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/posix/sim.h"
#include "plughost/devices.h"
#include "sim/sim.h"

static struct {
  decltype(simEndpointName) *name;
  decltype(simEndpointState) *state;
  decltype(simEndpointFlow) *flow;
  decltype(simEndpointDefaultOf) *defaultOf;
} sim;

int hostOpenDevices(void *plugin, char *reason, size_t reasonSize) {
  int found = kitFindSim(plugin, "simEndpointName", &sim.name) &
              kitFindSim(plugin, "simEndpointState", &sim.state) &
              kitFindSim(plugin, "simEndpointFlow", &sim.flow) &
              kitFindSim(plugin, "simEndpointDefaultOf", &sim.defaultOf);
  if (!found)
    snprintf(reason, reasonSize, "the library was not built with the sim");
  return found;
}

void hostCloseDevices(void) { memset(&sim, 0, sizeof sim); }

/* The id the sim's IMMDevice::GetId gives. */
static void simDeviceId(int index, int flow, char *id, size_t size) {
  snprintf(id, size, "{0.0.%d.00000000}.{sim-%d}", flow, index);
}

int hostReadDevices(DeviceReport *reports, unsigned max, unsigned *count,
                    unsigned *notShown) {
  *count = *notShown = 0;
  for (int flow = AUDIO_RENDER; flow <= AUDIO_CAPTURE; flow++)
    for (int i = 0; i < SIM_MAX_ENDPOINTS; i++) {
      if ((int)sim.flow(i) != flow)
        continue;
      if (*count == max) {
        ++*notShown;
        continue;
      }
      DeviceReport *report = &reports[(*count)++];
      *report = DeviceReport();
      report->flow = flow;
      report->state = sim.state(i);
      snprintf(report->name, sizeof report->name, "%s", sim.name(i));
      simDeviceId(i, flow, report->id, sizeof report->id);
    }
  return 1;
}

int hostDefaultDevice(int flow, int role, char *id, size_t size) {
  int index = sim.defaultOf((AudioFlow)flow, (AudioRole)role);
  id[0] = '\0';
  if (index < 0 || index >= SIM_MAX_ENDPOINTS)
    return 0;
  simDeviceId(index, flow, id, size);
  return 1;
}
