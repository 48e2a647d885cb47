/*
 * `plughost devices` off Windows: the simulated endpoints inside the
 * loaded plug-in, read through the stand-in controls it exports. Every
 * slot of the simulation is a device, as every device Windows ever saw
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
} simulation;

template <typename Function>
static int bind(void *plugin, const char *name, Function **function) {
  *function = kitSimulated<Function>(plugin, name);
  return *function != nullptr;
}

int hostOpenDevices(void *plugin, char *reason, size_t reasonSize) {
  int found = bind(plugin, "simEndpointName", &simulation.name) &
              bind(plugin, "simEndpointState", &simulation.state) &
              bind(plugin, "simEndpointFlow", &simulation.flow) &
              bind(plugin, "simEndpointDefaultOf", &simulation.defaultOf);
  if (!found)
    snprintf(reason, reasonSize, "the library has no simulated Core Audio");
  return found;
}

void hostCloseDevices(void) { memset(&simulation, 0, sizeof simulation); }

/* The id the simulation's IMMDevice::GetId gives. */
static void simulatedId(int index, int flow, char *id, size_t size) {
  snprintf(id, size, "{0.0.%d.00000000}.{sim-%d}", flow, index);
}

int hostReadDevices(DeviceReport *reports, unsigned max, unsigned *count,
                    unsigned *notShown) {
  *count = *notShown = 0;
  for (int flow = AUDIO_RENDER; flow <= AUDIO_CAPTURE; flow++)
    for (int i = 0; i < SIM_MAX_ENDPOINTS; i++) {
      if ((int)simulation.flow(i) != flow)
        continue;
      if (*count == max) {
        ++*notShown;
        continue;
      }
      DeviceReport *report = &reports[(*count)++];
      *report = DeviceReport();
      report->flow = flow;
      report->state = simulation.state(i);
      snprintf(report->name, sizeof report->name, "%s", simulation.name(i));
      simulatedId(i, flow, report->id, sizeof report->id);
    }
  return 1;
}

int hostDefaultDevice(int flow, int role, char *id, size_t size) {
  int index = simulation.defaultOf((AudioFlow)flow, (AudioRole)role);
  id[0] = '\0';
  if (index < 0 || index >= SIM_MAX_ENDPOINTS)
    return 0;
  simulatedId(index, flow, id, size);
  return 1;
}
