/*
 * The volume commands over a backend's targets: a step from the loudest,
 * a set, the mute toggle and mute on or off, and the unmute on a change.
 */
#include "volume_commands/volume_commands.h"

/* A step starts from what the user hears loudest. */
static int readLoudest(const VolumeTarget *target, uint32_t *percent) {
  uint32_t loudest = 0;
  for (uint32_t i = 0; i < target->count; i++) {
    uint32_t value = 0;
    if (!target->backend->readPercent(target->context, i, &value))
      return 0;
    if (value > loudest)
      loudest = value;
  }
  *percent = loudest;
  return 1;
}

static int writeEvery(const VolumeTarget *target, uint32_t percent) {
  int all = 1;
  for (uint32_t i = 0; i < target->count; i++)
    if (!target->backend->writePercent(target->context, i, percent))
      all = 0;
  return all;
}

int stepVolume(const VolumeTarget *target, int32_t step, uint32_t *written) {
  uint32_t percent = 0;
  if (!readLoudest(target, &percent))
    return 0;
  int64_t level = (int64_t)percent + step;
  if (level > 100)
    level = 100;
  else if (level < 0)
    level = 0;
  *written = (uint32_t)level;
  return writeEvery(target, (uint32_t)level);
}

/* Brings one target to a mute state. A target whose mute cannot be read
 * is written all the same: the state asked for is what counts. *known is
 * the state already read, or null. */
static int bringMute(const VolumeTarget *target, uint32_t index, uint32_t muted,
                     const uint32_t *known) {
  const VolumeBackend *backend = target->backend;
  uint32_t current = 0;
  int read = known ? (current = *known, 1)
                   : backend->readMute(target->context, index, &current);
  if (read && (current != 0) == (muted != 0))
    return 1;
  if (!backend->writeMute(target->context, index, muted))
    return 0;
  return !backend->muteHolds ||
         backend->muteHolds(target->context, index, muted);
}

static int bringEveryMute(const VolumeTarget *target, uint32_t muted,
                          const uint32_t *firstKnown) {
  int all = 1;
  for (uint32_t i = 0; i < target->count; i++)
    if (!bringMute(target, i, muted, i == 0 ? firstKnown : nullptr))
      all = 0;
  return all;
}

int toggleMute(const VolumeTarget *target, uint32_t *muted) {
  uint32_t current = 0;
  if (!target->backend->readMute(target->context, 0, &current))
    return 0;
  /* Any non-zero value means muted, so every such value unmutes. */
  *muted = current == 0 ? 1 : 0;
  return bringEveryMute(target, *muted, &current);
}

int setMute(const VolumeTarget *target, uint32_t muted) {
  return bringEveryMute(target, muted != 0, nullptr);
}

/* As Windows' own volume keys do: a change of volume is meant to be
 * heard, so it also lifts the mute. Only after the change took. */
static int changeVolume(const VolumeTarget *target, VolumeAction action,
                        int32_t amount, uint32_t *written) {
  *written = (uint32_t)amount;
  int changed = action == VOLUME_STEP ? stepVolume(target, amount, written)
                                      : writeEvery(target, *written);
  if (!changed || !target->settings ||
      !settingOn(target->settings, SETTING_UNMUTE_ON_CHANGE))
    return changed;
  return setMute(target, 0);
}

int runVolumeCommand(const VolumeTarget *target, VolumeAction action,
                     int32_t amount, CommandOutcome *outcome) {
  outcome->showsLevel = action == VOLUME_STEP || action == VOLUME_SET;
  switch (action) {
  case VOLUME_TOGGLE_MUTE:
    return toggleMute(target, &outcome->muted);
  case VOLUME_STEP:
  case VOLUME_SET:
    return changeVolume(target, action, amount, &outcome->percent);
  case VOLUME_SET_MUTE:
    outcome->muted = amount != 0;
    return setMute(target, outcome->muted);
  }
  return 0;
}
