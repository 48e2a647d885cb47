/*
 * Devices one command holds with their endpoint volumes, and the volume
 * backend operations over them: a device's own master volume and mute,
 * as the Sound control panel's level slider shows them.
 */
#ifndef VOLUME_HELD_DEVICES_H
#define VOLUME_HELD_DEVICES_H

#include <cstdint>

#include "platform/platform.h"

enum { MAX_HELD_DEVICES = 2 };

struct HeldDevices {
  ComObject devices[MAX_HELD_DEVICES]; /* IMMDevice, held */
  ComObject volumes[MAX_HELD_DEVICES]; /* their IAudioEndpointVolume; null
                                          where it could not be had */
  uint32_t count;
};

/* Holds one more device (taking over the reference); 0 when full. */
int holdDevice(HeldDevices *held, ComObject device);
/* Activates every device's volume; 1 only when all of them could be had
 * (a device that refuses says why). */
int activateHeldVolumes(HeldDevices *held);
/* Releases every interface held. */
void releaseHeldDevices(HeldDevices *held);

/* A VolumeBackend's operations, the context being the HeldDevices. The
 * percent is the master volume scalar × 100, rounded half up; a write of
 * n percent sets the scalar n / 100. A device whose volume could not be
 * activated refuses everything. */
int readHeldPercent(void *held, uint32_t index, uint32_t *percent);
int writeHeldPercent(void *held, uint32_t index, uint32_t percent);
int readHeldMute(void *held, uint32_t index, uint32_t *muted);
int writeHeldMute(void *held, uint32_t index, uint32_t muted);
/* Whether the device, looked at through a fresh interface, shows the mute
 * just written: a SetMute that only the interface it was made on
 * remembers (Wine's stub does this) changed nothing audible. A look that
 * cannot be made says nothing against the write. */
int heldMuteHolds(void *held, uint32_t index, uint32_t muted);

#endif
