/*
 * Volume of the mixer line chosen by VolComponentType, as a percent, with
 * the balance between channels kept across changes and across silence.
 */
#include "mixer/mixer.h"
#include "mixer/mixer_internal.h"

static const uint32_t MAX_CHANNELS = 10;

/* Poison for channel values the platform did not report. Wine's mixer,
 * asked for several channels, fills in only the first one. */
static const uint32_t UNREPORTED = 0xFFFFFFFFu;

static uint32_t volumeControlId = NOT_DISCOVERED;
static uint32_t volumeMinimum;
static uint32_t volumeMaximum;
static uint32_t volumeChannels;
/* The channel levels of the last write whose read was not all silence,
 * and the loudest of them. The peak is never 0 once discovery has run. */
static uint32_t balanceLevels[MAX_CHANNELS];
static uint32_t balancePeak;

uint32_t componentTypeFromSetting(int32_t setting) {
  if (setting >= 0 && setting <= 8)
    return MIXER_COMPONENT_DST_FIRST + (uint32_t)setting;
  if (setting >= 9 && setting <= 19)
    return MIXER_COMPONENT_SRC_FIRST + (uint32_t)(setting - 9);
  return MIXER_COMPONENT_DST_SPEAKERS;
}

/* Finds the volume control once per load; a later setting is ignored. */
static int discoverVolumeControl(int32_t componentTypeSetting) {
  if (volumeControlId != NOT_DISCOVERED)
    return 1;
  MixerLine line;
  MixerControl control;
  if (!findLineControl(componentTypeFromSetting(componentTypeSetting),
                       MIXER_CONTROL_VOLUME, &line, &control))
    return 0;
  volumeChannels = line.channels < MAX_CHANNELS ? line.channels : MAX_CHANNELS;
  volumeMinimum = control.minimum;
  volumeMaximum = control.maximum;
  volumeControlId = control.controlId;
  for (uint32_t i = 0; i < MAX_CHANNELS; i++)
    balanceLevels[i] = 1;
  balancePeak = 1;
  return 1;
}

static uint32_t volumeRange(void) { return volumeMaximum - volumeMinimum; }

/* Reads count values (1: the control as one uniform value). A channel the
 * platform left unreported is taken to be as loud as the first, so that it
 * is never mistaken for silence; a read that reported nothing fails. */
static int readLevels(uint32_t count, uint32_t *levels) {
  for (uint32_t i = 0; i < count; i++)
    levels[i] = UNREPORTED;
  if (!mixerSucceeded(
          platformMixerRead(mixerHandle(), volumeControlId, count, levels)))
    return 0;
  if (volumeMaximum == UNREPORTED)
    return 1; /* the poison is a real level on such a control */
  if (levels[0] == UNREPORTED)
    return 0;
  for (uint32_t i = 1; i < count; i++)
    if (levels[i] == UNREPORTED)
      levels[i] = levels[0];
  return 1;
}

int readVolumePercent(int32_t componentTypeSetting, uint32_t *percent) {
  if (!discoverVolumeControl(componentTypeSetting))
    return 0;
  uint32_t value;
  if (!readLevels(1, &value))
    return 0;
  uint64_t range = volumeRange();
  if (range == 0)
    return 0; /* a control without a range has no percent */
  /* Rounds to the nearest percent, halves up. 64-bit, so that no bounds
   * wrap; for bounds up to 65535 this is the 32-bit result exactly. */
  *percent = (uint32_t)(((range >> 1) + (uint64_t)value * 100 -
                         (uint64_t)volumeMinimum * 100) /
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

int writeVolumePercent(uint32_t percent, int32_t componentTypeSetting) {
  if (!discoverVolumeControl(componentTypeSetting))
    return 0;
  if (volumeChannels == 0)
    return 0; /* nothing to write to */
  uint32_t levels[MAX_CHANNELS];
  if (!readLevels(volumeChannels, levels))
    return 0;
  uint32_t peak = loudestLevel(levels, volumeChannels);
  if (peak != 0) {
    /* Remember the balance now: silence carries none, so after a write of
     * 0 percent the next write goes back to these proportions. */
    for (uint32_t i = 0; i < volumeChannels; i++)
      balanceLevels[i] = levels[i];
    balancePeak = peak;
  }
  uint64_t target = volumeMinimum + (uint64_t)volumeRange() * percent / 100;
  /* The loudest channel lands on target; the others keep their ratio. */
  for (uint32_t i = 0; i < volumeChannels; i++)
    levels[i] = (uint32_t)(balanceLevels[i] * target / balancePeak);
  return mixerSucceeded(platformMixerWrite(mixerHandle(), volumeControlId,
                                           volumeChannels, levels));
}

int stepVolume(int32_t step, int32_t componentTypeSetting) {
  uint32_t percent = 0;
  if (!readVolumePercent(componentTypeSetting, &percent))
    return 0;
  int64_t level = (int64_t)percent + step;
  if (level > 100)
    level = 100;
  else if (level < 0)
    level = 0;
  return writeVolumePercent((uint32_t)level, componentTypeSetting);
}

void forgetVolumeControl(void) {
  volumeControlId = NOT_DISCOVERED;
  volumeMinimum = volumeMaximum = volumeChannels = 0;
  for (uint32_t i = 0; i < MAX_CHANNELS; i++)
    balanceLevels[i] = 0;
  balancePeak = 0;
}
