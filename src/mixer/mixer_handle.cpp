/*
 * The one handle of mixer device 0, shared by the volume and mute controls.
 */
#include "mixer/mixer.h"
#include "mixer/mixer_internal.h"

static MixerHandle openedMixer;
/* Filled when the mixer is opened; kept only as the platform returned it. */
static MixerCaps mixerCaps;

MixerHandle mixerHandle(void) { return openedMixer; }

int openMixer(void) {
  if (openedMixer != 0)
    return 1;
  MixerHandle handle = 0;
  if (!mixerSucceeded(platformMixerOpen(&handle)))
    return 0;
  /* Kept even when the capability query fails: the device is open, and
   * the next command goes on from there instead of opening it again. */
  openedMixer = handle;
  return mixerSucceeded(platformMixerGetCaps(openedMixer, &mixerCaps));
}

void forgetMixerHandle(void) {
  openedMixer = 0;
  mixerCaps = MixerCaps();
}

int findLineControl(uint32_t componentType, uint32_t controlType,
                    MixerLine *line, MixerControl *control) {
  if (!openMixer())
    return 0;
  if (!mixerSucceeded(platformMixerFindLine(openedMixer, componentType, line)))
    return 0;
  return mixerSucceeded(platformMixerFindControl(openedMixer, line->lineId,
                                                 controlType, control));
}

void mixerForgetState(void) {
  forgetMuteControl();
  forgetVolumeControl();
  forgetMixerHandle();
}
