/*
 * A settings text found anywhere in a device's friendly name, the case of
 * its letters aside, and the first device of a direction it names.
 */
#include "core_audio/device_names.h"

#include "command/command_settings.h"
#include "core_audio/core_audio.h"

/* The names users type are ASCII ("USB"), accented Latin ("Émulation")
 * or full-width ("ＵＳＢ"); Japanese has no case. */
uint16_t foldedCase(uint16_t unit) {
  if ((unit >= 'A' && unit <= 'Z') ||
      (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7))
    return (uint16_t)(unit + 0x20);
  if (unit >= 0xFF21 && unit <= 0xFF3A) /* Ａ..Ｚ */
    return (uint16_t)(unit + 0x20);
  return unit;
}

static int holdsAt(const uint16_t *name, const uint16_t *text) {
  for (uint32_t i = 0; text[i] != 0; i++)
    if (name[i] == 0 || foldedCase(name[i]) != foldedCase(text[i]))
      return 0;
  return 1;
}

int nameHoldsText(const uint16_t *name, const char *text) {
  uint16_t wide[SETTING_TEXT_SIZE + 1];
  if (text[0] == '\0' ||
      platformAnsiToWide(text, wide, SETTING_TEXT_SIZE + 1) == 0)
    return 0;
  for (uint32_t at = 0; name[at] != 0; at++)
    if (holdsAt(name + at, wide))
      return 1;
  return 0;
}

void readFriendlyName(ComObject device, uint16_t *name, uint32_t size) {
  ComObject properties = nullptr;
  name[0] = 0;
  ComResult result = platformOpenProperties(device, &properties);
  if (!comSucceeded(receivedObject(result, properties)))
    return;
  if (!comSucceeded(platformFriendlyName(properties, name, size)))
    name[0] = 0;
  platformComRelease(properties);
}

/* Whether the index-th device of the collection is named by the text; if
 * so, it is handed back held. */
static int deviceHolds(ComObject devices, uint32_t index, const char *text,
                       ComObject *device, uint16_t *name, uint32_t size) {
  ComObject item = nullptr;
  if (!comSucceeded(endpointItem(devices, index, &item)))
    return 0;
  readFriendlyName(item, name, size);
  if (nameHoldsText(name, text)) {
    *device = item;
    return 1;
  }
  platformComRelease(item);
  return 0;
}

int findDeviceNamed(ComObject enumerator, AudioFlow flow, const char *text,
                    ComObject *device, uint16_t *name, uint32_t nameSize) {
  ComObject devices = nullptr;
  uint32_t count = 0;
  CommandFailure unlisted = forFlow(FAILED_PLAYBACK_UNLISTED, flow);
  *device = nullptr;
  if (!comTook(enumerateEndpoints(enumerator, flow, &devices), unlisted))
    return 0;
  int found = 0;
  if (comTook(platformEndpointCount(devices, &count), unlisted))
    for (uint32_t i = 0; !found && i < count; i++)
      found = deviceHolds(devices, i, text, device, name, nameSize);
  platformComRelease(devices);
  if (!found)
    commandFails(forFlow(FAILED_NO_PLAYBACK_NAMED, flow), text, 0);
  return found;
}
