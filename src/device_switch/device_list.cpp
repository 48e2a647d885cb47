#include "device_switch/device_list.h"

#include "core_audio/core_audio.h"

int sameId(const uint16_t *a, const uint16_t *b) {
  uint32_t i = 0;
  while (a[i] == b[i] && a[i] != 0)
    i++;
  return a[i] == b[i];
}

/* The friendly name through the device's property store; empty when it
 * cannot be read (such a device matches no text). */
static void readName(ComObject device, uint16_t name[DEVICE_NAME_SIZE]) {
  ComObject properties = nullptr;
  name[0] = 0;
  ComResult result = platformOpenProperties(device, &properties);
  if (!comSucceeded(receivedObject(result, properties)))
    return;
  if (!comSucceeded(platformFriendlyName(properties, name, DEVICE_NAME_SIZE)))
    name[0] = 0;
  platformComRelease(properties);
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
      readName(device, entry.name);
    visit(context, &entry);
  }
  platformComRelease(device);
}

int visitDevices(ComObject enumerator, AudioFlow flow, int withNames,
                 DeviceVisitor visit, void *context) {
  ComObject devices = nullptr;
  uint32_t count = 0;
  if (!comSucceeded(enumerateEndpoints(enumerator, flow, &devices)))
    return 0;
  int listed = comSucceeded(platformEndpointCount(devices, &count));
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
  if (!comSucceeded(result))
    return 0;
  int read = comSucceeded(platformEndpointId(device, id, DEVICE_ID_SIZE));
  platformComRelease(device);
  if (!read)
    id[0] = 0;
  return read;
}
