#include "volume_commands/volume_commands.h"

int stepVolume(const VolumeBackend *backend, const VolumeTarget *target,
               int32_t step, uint32_t *written) {
  uint32_t percent = 0;
  if (!backend->readPercent(target, &percent))
    return 0;
  int64_t level = (int64_t)percent + step;
  if (level > 100)
    level = 100;
  else if (level < 0)
    level = 0;
  *written = (uint32_t)level;
  return backend->writePercent(target, (uint32_t)level);
}

int toggleMute(const VolumeBackend *backend, const VolumeTarget *target,
               uint32_t *muted) {
  uint32_t current = 0;
  if (!backend->readMute(target, &current))
    return 0;
  /* Any non-zero value means muted, so every such value unmutes. */
  *muted = current == 0 ? 1 : 0;
  return backend->writeMute(target, *muted);
}

int setMute(const VolumeBackend *backend, const VolumeTarget *target,
            uint32_t muted) {
  uint32_t current = 0;
  if (!backend->readMute(target, &current))
    return 0;
  if ((current != 0) == (muted != 0))
    return 1;
  return backend->writeMute(target, muted != 0);
}

/* As Windows' own volume keys do: a change of volume is meant to be
 * heard, so it also lifts the mute. Only after the change took. */
static int changeVolume(const VolumeBackend *backend,
                        const VolumeTarget *target, VolumeCommand command,
                        uint32_t *written) {
  *written = (uint32_t)command.amount;
  int changed = command.action == VOLUME_STEP
                    ? stepVolume(backend, target, command.amount, written)
                    : backend->writePercent(target, *written);
  if (!changed || !target->unmuteOnChange)
    return changed;
  return setMute(backend, target, 0);
}

int runVolumeCommand(const VolumeBackend *backend, const VolumeTarget *target,
                     VolumeCommand command, VolumeOutcome *outcome) {
  outcome->showsLevel =
      command.action == VOLUME_STEP || command.action == VOLUME_SET;
  switch (command.action) {
  case VOLUME_TOGGLE_MUTE:
    return toggleMute(backend, target, &outcome->muted);
  case VOLUME_STEP:
  case VOLUME_SET:
    return changeVolume(backend, target, command, &outcome->percent);
  case VOLUME_SET_MUTE:
    outcome->muted = command.amount != 0;
    return setMute(backend, target, (uint32_t)command.amount);
  }
  return 0;
}
