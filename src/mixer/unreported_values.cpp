/*
 * Channels a mixer driver leaves unreported. Wine's mixer, asked for
 * several channels, fills in only the first value, and on its wave-out
 * line fills in none while reporting success. A value the driver did not
 * write must never be taken for a level: the plug-in would keep it as the
 * balance, or write it back.
 */
#include "mixer/unreported_values.h"

#include "mixer/mixer_handle.h"

/* All bits set: above the maximum of every control but one whose bounds
 * reach 2^32 - 1, where it is a real level and no mark is possible. */
static const uint32_t UNREPORTED = 0xFFFFFFFFu;

/* Every value of a switch means something (any non-zero one is "on"), so
 * a switch's values are left as the caller set them. */
static int isSwitch(const MixerControl *control) {
  return control->controlType == MIXER_CONTROL_MUTE;
}

/* Where the mark is a real level it is taken as one. */
static int markable(const MixerControl *control) {
  return !isSwitch(control) && control->maximum != UNREPORTED;
}

/* Fills values with a mark that no driver writes for this control (where
 * there is one), before the driver's read ... */
static void markUnreportedValues(const MixerControl *control, uint32_t channels,
                                 uint32_t *values) {
  if (isSwitch(control))
    return;
  for (uint32_t i = 0; i < channels; i++)
    values[i] = UNREPORTED;
}

/* ... and after it, gives every unmarked channel the first one's value.
 * Returns 0 when even the first channel was left unreported. */
static int fillUnreportedValues(const MixerControl *control, uint32_t channels,
                                uint32_t *values) {
  if (!markable(control))
    return 1;
  if (values[0] == UNREPORTED)
    return 0;
  for (uint32_t i = 1; i < channels; i++)
    if (values[i] == UNREPORTED)
      values[i] = values[0];
  return 1;
}

int readMixerValues(const MixerControl *control, uint32_t channels,
                    uint32_t *values) {
  markUnreportedValues(control, channels, values);
  if (!mixerTook(
          platformMixerRead(mixerState.handle, control, channels, values),
          FAILED_MIXER_REFUSED))
    return 0;
  if (fillUnreportedValues(control, channels, values))
    return 1;
  commandFails(FAILED_MIXER_UNREPORTED, nullptr, 0);
  return 0;
}
