#include "microphone/microphone.h"

#include "core_audio/core_audio.h"

enum { ENDPOINT_ID_SIZE = 256 };

/* Whether two endpoints are one device, by their ids. Ids that cannot be
 * read count as two devices: bringing one device to a state twice does no
 * harm, as the second time finds it there. */
static int sameEndpoint(ComObject first, ComObject second) {
  uint16_t a[ENDPOINT_ID_SIZE], b[ENDPOINT_ID_SIZE];
  if (!comSucceeded(platformEndpointId(first, a, ENDPOINT_ID_SIZE)) ||
      !comSucceeded(platformEndpointId(second, b, ENDPOINT_ID_SIZE)))
    return 0;
  uint32_t i = 0;
  while (a[i] == b[i] && a[i] != 0)
    i++;
  return a[i] == b[i];
}

/* The console default, which there must be, then the communications
 * default where it is another device. Where the latter cannot be found
 * for another reason than that there is none, the command goes on with
 * the console default and reports a failure. */
static ComResult findMicrophones(ComObject enumerator, Microphones *found) {
  ComObject device = nullptr;
  ComResult result =
      findDefaultEndpoint(enumerator, AUDIO_CAPTURE, AUDIO_CONSOLE, &device);
  if (!comSucceeded(result))
    return result;
  found->devices[found->count++] = device;
  result = findDefaultEndpoint(enumerator, AUDIO_CAPTURE, AUDIO_COMMUNICATIONS,
                               &device);
  if (!comSucceeded(result)) {
    found->complete = (uint32_t)result == COM_E_NOT_FOUND;
    return 0;
  }
  if (sameEndpoint(found->devices[0], device))
    platformComRelease(device);
  else
    found->devices[found->count++] = device;
  return 0;
}

static void releaseMicrophones(Microphones *found) {
  for (uint32_t i = 0; i < found->count; i++) {
    if (found->volumes[i])
      platformComRelease(found->volumes[i]);
    platformComRelease(found->devices[i]);
  }
  found->count = 0;
}

/* Whether a device, looked at through a fresh interface, shows the other
 * mute than the one just written (see the endpoint's writeMute). */
static int muteContradicted(ComObject device, int32_t muted) {
  ComObject volume = nullptr;
  if (!comSucceeded(activateInterface(device, AUDIO_ENDPOINT_VOLUME, &volume)))
    return 0;
  int32_t seen = 0;
  int other = comSucceeded(platformGetVolumeMute(volume, &seen)) &&
              (seen != 0) != (muted != 0);
  platformComRelease(volume);
  return other;
}

/* Brings one device to a mute state, writing only where it differs. */
static int bringToMute(ComObject device, ComObject volume, int32_t muted) {
  int32_t current = 0;
  if (!comSucceeded(platformGetVolumeMute(volume, &current)))
    return 0;
  if ((current != 0) == (muted != 0))
    return 1;
  if (!comSucceeded(platformSetVolumeMute(volume, muted)))
    return 0;
  return !muteContradicted(device, muted);
}

/* The state a command asks for; 0 when the toggle cannot read it. */
static int askedMute(const Microphones *found, VolumeCommand command,
                     int32_t *muted) {
  if (command.action != VOLUME_TOGGLE_MUTE) {
    *muted = command.amount != 0;
    return 1;
  }
  int32_t current = 0;
  if (!comSucceeded(platformGetVolumeMute(found->volumes[0], &current)))
    return 0;
  *muted = current == 0;
  return 1;
}

/* Every device is tried, so that a device that refuses does not keep the
 * others live; the result says whether all of them took. */
static int muteMicrophones(Microphones *found, VolumeCommand command,
                           VolumeOutcome *outcome) {
  int all = found->complete;
  for (uint32_t i = 0; i < found->count; i++)
    if (!comSucceeded(activateInterface(
            found->devices[i], AUDIO_ENDPOINT_VOLUME, &found->volumes[i])))
      all = 0;
  int32_t muted = 0;
  if (!found->volumes[0] || !askedMute(found, command, &muted))
    return 0;
  outcome->showsLevel = 0;
  outcome->muted = (uint32_t)muted;
  for (uint32_t i = 0; i < found->count; i++)
    if (!found->volumes[i] ||
        !bringToMute(found->devices[i], found->volumes[i], muted))
      all = 0;
  return all;
}

int runOnMicrophones(VolumeCommand command, VolumeOutcome *outcome) {
  ComApartment apartment;
  if (!comSucceeded(enterCom(&apartment)))
    return 0;
  int result = 0;
  ComObject enumerator = nullptr;
  if (comSucceeded(createDeviceEnumerator(&enumerator))) {
    Microphones found = {{nullptr, nullptr}, {nullptr, nullptr}, 0, 1};
    if (comSucceeded(findMicrophones(enumerator, &found)))
      result = muteMicrophones(&found, command, outcome);
    releaseMicrophones(&found);
    platformComRelease(enumerator);
  }
  leaveCom(&apartment);
  return result;
}
