#include "volume_commands/volume_commands.h"

int stepVolume(const VolumeBackend *backend, const VolumeTarget *target,
               int32_t step) {
  uint32_t percent = 0;
  if (!backend->readPercent(target, &percent))
    return 0;
  int64_t level = (int64_t)percent + step;
  if (level > 100)
    level = 100;
  else if (level < 0)
    level = 0;
  return backend->writePercent(target, (uint32_t)level);
}

int toggleMute(const VolumeBackend *backend, const VolumeTarget *target) {
  uint32_t muted = 0;
  if (!backend->readMute(target, &muted))
    return 0;
  /* Any non-zero value means muted, so every such value unmutes. */
  return backend->writeMute(target, muted == 0 ? 1 : 0);
}

int runVolumeCommand(const VolumeBackend *backend, const VolumeTarget *target,
                     VolumeCommand command) {
  switch (command.action) {
  case VOLUME_TOGGLE_MUTE:
    return toggleMute(backend, target);
  case VOLUME_STEP:
    return stepVolume(backend, target, command.amount);
  case VOLUME_SET:
    return backend->writePercent(target, (uint32_t)command.amount);
  }
  return 0;
}
