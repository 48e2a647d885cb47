/*
 * Mute switch of the speakers line. It is independent of the line the
 * volume commands use: muting always silences the speakers.
 */
#include "mixer/mute.h"

#include "mixer/mixer_handle.h"
#include "mixer/unreported_values.h"

static int discoverMuteControl(void) {
  if (mixerState.mute.controlId != NOT_DISCOVERED)
    return 1;
  MixerLine line;
  MixerControl control;
  if (!findLineControl(MIXER_COMPONENT_DST_SPEAKERS, MIXER_CONTROL_MUTE, &line,
                       &control))
    return 0;
  mixerState.mute = control;
  return 1;
}

int readMixerMute(uint32_t *value) {
  if (!discoverMuteControl())
    return 0;
  return readMixerValues(&mixerState.mute, 1, value);
}

int writeMixerMute(uint32_t value) {
  if (!discoverMuteControl())
    return 0;
  return mixerTook(
      platformMixerWrite(mixerState.handle, &mixerState.mute, 1, &value),
      FAILED_MIXER_REFUSED);
}
