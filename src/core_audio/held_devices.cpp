/*
 * A held device's own volume and mute through IAudioEndpointVolume.
 */
#include "core_audio/held_devices.h"

#include "core_audio/core_audio.h"

int holdDevice(HeldDevices *held, ComObject device) {
  if (held->count == MAX_HELD_DEVICES)
    return 0;
  held->devices[held->count] = device;
  held->volumes[held->count] = nullptr;
  held->count++;
  return 1;
}

int activateHeldVolumes(HeldDevices *held) {
  int all = 1;
  for (uint32_t i = 0; i < held->count; i++)
    if (!comTook(activateInterface(held->devices[i], AUDIO_ENDPOINT_VOLUME,
                                   &held->volumes[i]),
                 FAILED_DEVICE_REFUSED))
      all = 0;
  return all;
}

void releaseHeldDevices(HeldDevices *held) {
  for (uint32_t i = 0; i < held->count; i++) {
    if (held->volumes[i])
      platformComRelease(held->volumes[i]);
    platformComRelease(held->devices[i]);
  }
  held->count = 0;
}

static ComObject volumeOf(void *held, uint32_t index) {
  return ((HeldDevices *)held)->volumes[index];
}

int readHeldPercent(void *held, uint32_t index, uint32_t *percent) {
  ComObject volume = volumeOf(held, index);
  float scalar = 0.0f;
  return volume &&
         comTook(platformGetVolumeScalar(volume, &scalar),
                 FAILED_DEVICE_REFUSED) &&
         percentFromScalar(scalar, percent);
}

int writeHeldPercent(void *held, uint32_t index, uint32_t percent) {
  ComObject volume = volumeOf(held, index);
  return volume &&
         comTook(platformSetVolumeScalar(volume, (float)percent / 100.0f),
                 FAILED_DEVICE_REFUSED);
}

int readHeldMute(void *held, uint32_t index, uint32_t *muted) {
  ComObject volume = volumeOf(held, index);
  int32_t value = 0;
  if (!volume ||
      !comTook(platformGetVolumeMute(volume, &value), FAILED_DEVICE_REFUSED))
    return 0;
  *muted = value != 0;
  return 1;
}

int writeHeldMute(void *held, uint32_t index, uint32_t muted) {
  ComObject volume = volumeOf(held, index);
  return volume && comTook(platformSetVolumeMute(volume, muted ? 1 : 0),
                           FAILED_DEVICE_REFUSED);
}

int heldMuteHolds(void *held, uint32_t index, uint32_t muted) {
  ComObject device = ((HeldDevices *)held)->devices[index];
  ComObject volume = nullptr;
  if (!comSucceeded(activateInterface(device, AUDIO_ENDPOINT_VOLUME, &volume)))
    return 1;
  int32_t seen = 0;
  int other = comSucceeded(platformGetVolumeMute(volume, &seen)) &&
              (seen != 0) != (muted != 0);
  platformComRelease(volume);
  if (other)
    commandFails(FAILED_MUTE_DID_NOT_HOLD, nullptr, 0);
  return !other;
}
