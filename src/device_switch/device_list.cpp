/*
 * The active devices of a direction with their ids and friendly names,
 * and the id of a role's default.
 */
#include "device_switch/device_list.h"

#include "core_audio/core_audio.h"
#include "core_audio/device_names.h"

int sameId(const uint16_t *a, const uint16_t *b) {
  uint32_t i = 0;
  while (a[i] == b[i] && a[i] != 0)
    i++;
  return a[i] == b[i];
}

/* Hands one device of the collection on; one whose id cannot be read
 * cannot be made the default and is left out. */
static void visitDevice(ComObject devices, uint32_t index, int withNames,
                        DeviceVisitor visit, void *context) {
  ComObject device = nullptr;
  DeviceEntry entry;
  if (!comSucceeded(endpointItem(devices, index, &device)))
    return;
  if (comSucceeded(platformEndpointId(device, entry.id, DEVICE_ID_SIZE))) {
    entry.name[0] = 0;
    if (withNames)
      readFriendlyName(device, entry.name, DEVICE_NAME_SIZE);
    visit(context, &entry);
  }
  platformComRelease(device);
}

int visitDevices(ComObject enumerator, AudioFlow flow, int withNames,
                 DeviceVisitor visit, void *context) {
  ComObject devices = nullptr;
  uint32_t count = 0;
  CommandFailure unlisted = forFlow(FAILED_PLAYBACK_UNLISTED, flow);
  if (!comTook(enumerateEndpoints(enumerator, flow, &devices), unlisted))
    return 0;
  int listed = comTook(platformEndpointCount(devices, &count), unlisted);
  for (uint32_t i = 0; listed && i < count; i++)
    visitDevice(devices, i, withNames, visit, context);
  platformComRelease(devices);
  return listed;
}

int defaultId(ComObject enumerator, AudioFlow flow, AudioRole role,
              uint16_t id[DEVICE_ID_SIZE]) {
  ComObject device = nullptr;
  id[0] = 0;
  ComResult result = findDefaultEndpoint(enumerator, flow, role, &device);
  if ((uint32_t)result == COM_E_NOT_FOUND)
    return 1;
  if (!comTook(result, FAILED_CORE_AUDIO))
    return 0;
  int read = comTook(platformEndpointId(device, id, DEVICE_ID_SIZE),
                     FAILED_CORE_AUDIO);
  platformComRelease(device);
  if (!read)
    id[0] = 0;
  return read;
}
