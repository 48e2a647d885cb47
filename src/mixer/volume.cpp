/*
 * Volume of the mixer line chosen by VolComponentType, as a percent, with
 * the balance between channels kept across changes and across silence.
 */
#include "mixer/volume.h"

#include "mixer/component_type.h"
#include "mixer/mixer_handle.h"
#include "mixer/unreported_values.h"

/* Finds the volume control once per load; a later setting is ignored. */
static int discoverVolumeControl(int32_t componentTypeSetting) {
  MixerState &state = mixerState;
  if (state.volume.controlId != NOT_DISCOVERED)
    return 1;
  MixerLine line;
  MixerControl control;
  if (!findLineControl(componentTypeFromSetting(componentTypeSetting),
                       MIXER_CONTROL_VOLUME, &line, &control))
    return 0;
  /* Bounds the wrong way round leave no level that could be written. */
  if (control.maximum < control.minimum) {
    commandFails(FAILED_MIXER_UNUSABLE, nullptr, 0);
    return 0;
  }
  state.channels = line.channels < MAX_CHANNELS ? line.channels : MAX_CHANNELS;
  state.volume = control;
  for (uint32_t i = 0; i < MAX_CHANNELS; i++)
    state.balanceLevels[i] = 1;
  state.balancePeak = 1;
  return 1;
}

static uint32_t volumeRange(void) {
  return mixerState.volume.maximum - mixerState.volume.minimum;
}

/* Reads count values (1: the control as one uniform value). */
static int readLevels(uint32_t count, uint32_t *levels) {
  return readMixerValues(&mixerState.volume, count, levels);
}

int readVolumePercent(int32_t componentTypeSetting, uint32_t *percent) {
  if (!discoverVolumeControl(componentTypeSetting))
    return 0;
  uint32_t value;
  if (!readLevels(1, &value))
    return 0;
  uint64_t range = volumeRange();
  if (range == 0) { /* a control without a range has no percent */
    commandFails(FAILED_MIXER_UNUSABLE, nullptr, 0);
    return 0;
  }
  /* Rounds to the nearest percent, halves up. 64-bit, so that no bounds
   * wrap; for bounds up to 65535 this is the 32-bit result exactly. */
  *percent = (uint32_t)(((range >> 1) + (uint64_t)value * 100 -
                         (uint64_t)mixerState.volume.minimum * 100) /
                        range);
  return 1;
}

static uint32_t loudestLevel(const uint32_t *levels, uint32_t count) {
  uint32_t peak = levels[0];
  for (uint32_t i = 1; i < count; i++)
    if (levels[i] > peak)
      peak = levels[i];
  return peak;
}

int writeVolumePercent(int32_t componentTypeSetting, uint32_t percent) {
  if (!discoverVolumeControl(componentTypeSetting))
    return 0;
  MixerState &state = mixerState;
  uint32_t channels = state.channels;
  if (channels == 0) { /* nothing to write to */
    commandFails(FAILED_MIXER_UNUSABLE, nullptr, 0);
    return 0;
  }
  uint32_t levels[MAX_CHANNELS];
  if (!readLevels(channels, levels))
    return 0;
  uint32_t peak = loudestLevel(levels, channels);
  if (peak != 0) {
    /* Remember the balance now: silence carries none, so after a write of
     * 0 percent the next write goes back to these proportions. */
    for (uint32_t i = 0; i < channels; i++)
      state.balanceLevels[i] = levels[i];
    state.balancePeak = peak;
  }
  uint64_t target =
      state.volume.minimum + (uint64_t)volumeRange() * percent / 100;
  /* The loudest channel lands on target; the others keep their ratio, but
   * never fall below the control's minimum, which the ratio ignores. */
  for (uint32_t i = 0; i < channels; i++) {
    uint64_t level = state.balanceLevels[i] * target / state.balancePeak;
    levels[i] =
        (uint32_t)(level < state.volume.minimum ? state.volume.minimum : level);
  }
  return mixerTook(
      platformMixerWrite(state.handle, &state.volume, channels, levels),
      FAILED_MIXER_REFUSED);
}
