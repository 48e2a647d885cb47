#include "endpoint/endpoint.h"

#include "mixer/mixer.h"
#include "platform/platform.h"

/* The one place where an HRESULT becomes the plug-in's success flag. */
static int endpointSucceeded(EndpointResult result) { return result >= 0; }

/* A scalar outside 0..1 is taken at the nearer bound; one that is not a
 * number at all is no volume. */
static int percentFromScalar(float scalar, uint32_t *percent) {
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
  if (!endpointSucceeded(platformEndpointGetScalar(target->endpoint, &scalar)))
    return 0;
  return percentFromScalar(scalar, percent);
}

static int writeEndpointPercent(const VolumeTarget *target, uint32_t percent) {
  return endpointSucceeded(
      platformEndpointSetScalar(target->endpoint, (float)percent / 100.0f));
}

static int readEndpointMute(const VolumeTarget *target, uint32_t *muted) {
  int32_t value = 0;
  if (!endpointSucceeded(platformEndpointGetMute(target->endpoint, &value)))
    return 0;
  *muted = (uint32_t)value;
  return 1;
}

/* Whether the default endpoint, looked at afresh, has this mute. */
static int endpointMuteIs(int32_t muted) {
  EndpointSession check = {nullptr, 0};
  if (!endpointSucceeded(platformEndpointBegin(&check)))
    return 0;
  int32_t seen = 0;
  int same = endpointSucceeded(platformEndpointGetMute(&check, &seen)) &&
             (seen != 0) == (muted != 0);
  platformEndpointEnd(&check);
  return same;
}

static int writeEndpointMute(const VolumeTarget *target, uint32_t muted) {
  int32_t value = muted ? 1 : 0;
  if (!endpointSucceeded(platformEndpointSetMute(target->endpoint, value)))
    return 0;
  /* The mute belongs to the endpoint, so a second look at it shows the
   * change. Where a SetMute that succeeds is remembered only by the one
   * interface it was made on (Wine's stub does this) nothing audible
   * changed, and success must not be reported. */
  return endpointMuteIs(value);
}

const VolumeBackend ENDPOINT_BACKEND = {readEndpointPercent,
                                        writeEndpointPercent, readEndpointMute,
                                        writeEndpointMute};

int runOnEndpoint(VolumeCommand command, int32_t componentTypeSetting) {
  EndpointSession session = {nullptr, 0};
  EndpointResult opened = platformEndpointBegin(&session);
  /* Only a system without Core Audio falls back: there the classic mixer
   * is the machine's own. Where Core Audio exists the mixer would change
   * nothing but the host's own sounds, so a failure there is a failure. */
  if ((uint32_t)opened == ENDPOINT_ABSENT)
    return runOnMixer(command, componentTypeSetting);
  if (!endpointSucceeded(opened))
    return 0;
  VolumeTarget target = {componentTypeSetting, &session};
  int result = runVolumeCommand(&ENDPOINT_BACKEND, &target, command);
  platformEndpointEnd(&session);
  return result;
}
