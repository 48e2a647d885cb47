/*
 * The one handle of mixer device 0, shared by the volume and mute controls.
 */
#include "mixer/mixer_handle.h"

MixerState mixerState = MIXER_STATE_UNUSED;

int openMixer(void) {
  if (mixerState.handle != 0)
    return 1;
  MixerHandle handle = 0;
  if (!mixerTook(platformMixerOpen(&handle), FAILED_MIXER_OPEN))
    return 0;
  /* Kept even when the capability query fails: the device is open, and
   * the next command goes on from there instead of opening it again. */
  mixerState.handle = handle;
  return mixerTook(platformMixerGetCaps(handle, &mixerState.caps),
                   FAILED_MIXER_OPEN);
}

int findLineControl(uint32_t componentType, uint32_t controlType,
                    MixerLine *line, MixerControl *control) {
  if (!openMixer())
    return 0;
  MixerHandle handle = mixerState.handle;
  int mute = controlType == MIXER_CONTROL_MUTE;
  MixerResult found = platformMixerFindLine(handle, componentType, line);
  if (!mixerSucceeded(found)) {
    commandFails(mute ? FAILED_MIXER_NO_SPEAKERS : FAILED_MIXER_NO_LINE,
                 nullptr, componentType);
    return 0;
  }
  found = platformMixerFindControl(handle, line->lineId, controlType, control);
  return mixerTook(found, mute ? FAILED_MIXER_NO_MUTE : FAILED_MIXER_NO_VOLUME);
}

void releaseMixer(void) {
  /* A handle left open would outlive the library: a host that unloads
   * and reloads the plug-in would use up the system's mixer handles. */
  if (mixerState.handle != 0)
    platformMixerClose(mixerState.handle);
  mixerState = MIXER_STATE_UNUSED;
}
