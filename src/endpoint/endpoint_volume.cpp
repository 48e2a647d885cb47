#include "endpoint/endpoint.h"

#include "core_audio/core_audio.h"
#include "mixer/mixer.h"

/* A scalar outside 0..1 is taken at the nearer bound; one that is not a
 * number at all is no volume. */
int percentFromScalar(float scalar, uint32_t *percent) {
  if (!(scalar == scalar))
    return 0;
  double hundredths = (double)scalar * 100.0 + 0.5;
  if (hundredths < 0.0)
    hundredths = 0.0;
  else if (hundredths > 100.0)
    hundredths = 100.0;
  *percent = (uint32_t)hundredths; /* truncates: rounds half up */
  return 1;
}

static int readEndpointPercent(const VolumeTarget *target, uint32_t *percent) {
  float scalar = 0.0f;
  if (!comSucceeded(platformGetVolumeScalar(target->endpointVolume, &scalar)))
    return 0;
  return percentFromScalar(scalar, percent);
}

static int writeEndpointPercent(const VolumeTarget *target, uint32_t percent) {
  return comSucceeded(
      platformSetVolumeScalar(target->endpointVolume, (float)percent / 100.0f));
}

static int readEndpointMute(const VolumeTarget *target, uint32_t *muted) {
  int32_t value = 0;
  if (!comSucceeded(platformGetVolumeMute(target->endpointVolume, &value)))
    return 0;
  *muted = (uint32_t)value;
  return 1;
}

/* Whether the default endpoint, looked at afresh, shows the other mute
 * than the one just written. A look that cannot be made shows nothing. */
static int endpointMuteContradicts(int32_t muted) {
  EndpointHold check;
  if (!comSucceeded(holdDefaultVolume(&check, AUDIO_RENDER, AUDIO_CONSOLE)))
    return 0;
  int32_t seen = 0;
  int other = comSucceeded(platformGetVolumeMute(check.volume, &seen)) &&
              (seen != 0) != (muted != 0);
  releaseHold(&check);
  return other;
}

static int writeEndpointMute(const VolumeTarget *target, uint32_t muted) {
  int32_t value = muted ? 1 : 0;
  if (!comSucceeded(platformSetVolumeMute(target->endpointVolume, value)))
    return 0;
  /* The mute belongs to the endpoint, so a second look at it shows the
   * change. Where a SetMute that succeeds is remembered only by the one
   * interface it was made on (Wine's stub does this) nothing audible
   * changed, and success must not be reported. A second look that cannot
   * be made says nothing against the write. */
  return !endpointMuteContradicts(value);
}

const VolumeBackend ENDPOINT_BACKEND = {readEndpointPercent,
                                        writeEndpointPercent, readEndpointMute,
                                        writeEndpointMute};

int runOnEndpoint(VolumeCommand command, VolumeTarget target,
                  VolumeOutcome *outcome) {
  EndpointHold hold;
  ComResult opened = holdDefaultVolume(&hold, AUDIO_RENDER, AUDIO_CONSOLE);
  /* Only a system without Core Audio falls back: there the classic mixer
   * is the machine's own. Where Core Audio exists the mixer would change
   * nothing but the host's own sounds, so a failure there is a failure. */
  if ((uint32_t)opened == COM_CLASS_NOT_REGISTERED)
    return runOnMixer(command, target, outcome);
  if (!comSucceeded(opened))
    return 0;
  target.endpointVolume = hold.volume;
  int result = runVolumeCommand(&ENDPOINT_BACKEND, &target, command, outcome);
  releaseHold(&hold);
  return result;
}
