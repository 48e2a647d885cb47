/*
 * The classic mixer as a volume backend: the volume of the line that
 * VolComponentType chooses, the mute of the speakers line.
 */
#include "mixer/mixer.h"

static int readMixerPercent(const VolumeTarget *target, uint32_t *percent) {
  return readVolumePercent(target->componentTypeSetting, percent);
}

static int writeMixerPercent(const VolumeTarget *target, uint32_t percent) {
  return writeVolumePercent(percent, target->componentTypeSetting);
}

static int readMixerMute(const VolumeTarget *, uint32_t *muted) {
  return readMute(muted);
}

static int writeMixerMute(const VolumeTarget *, uint32_t muted) {
  return writeMute(muted);
}

const VolumeBackend MIXER_BACKEND = {readMixerPercent, writeMixerPercent,
                                     readMixerMute, writeMixerMute};

int runOnMixer(VolumeCommand command, VolumeTarget target,
               VolumeOutcome *outcome) {
  target.endpointVolume = nullptr;
  return runVolumeCommand(&MIXER_BACKEND, &target, command, outcome);
}
