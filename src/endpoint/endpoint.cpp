/*
 * The default playback endpoint as a volume backend, and the choice
 * between it and the classic mixer that VolEndpoint makes.
 */
#include "endpoint/endpoint.h"

#include "core_audio/core_audio.h"
#include "mixer/mixer.h"
#include "volume_commands/volume_commands.h"

/* The context is the endpoint's IAudioEndpointVolume, held. */
static int readEndpointPercent(void *volume, uint32_t, uint32_t *percent) {
  float scalar = 0.0f;
  if (!comTook(platformGetVolumeScalar(volume, &scalar), FAILED_DEVICE_REFUSED))
    return 0;
  return percentFromScalar(scalar, percent);
}

static int writeEndpointPercent(void *volume, uint32_t, uint32_t percent) {
  return comTook(platformSetVolumeScalar(volume, (float)percent / 100.0f),
                 FAILED_DEVICE_REFUSED);
}

static int readEndpointMute(void *volume, uint32_t, uint32_t *muted) {
  int32_t value = 0;
  if (!comTook(platformGetVolumeMute(volume, &value), FAILED_DEVICE_REFUSED))
    return 0;
  *muted = (uint32_t)value;
  return 1;
}

static int writeEndpointMute(void *volume, uint32_t, uint32_t muted) {
  return comTook(platformSetVolumeMute(volume, muted ? 1 : 0),
                 FAILED_DEVICE_REFUSED);
}

/* The mute belongs to the endpoint, so a second look at it shows the
 * change. Where a SetMute that succeeds is remembered only by the one
 * interface it was made on (Wine's stub does this) nothing audible
 * changed, and success must not be reported. A second look that cannot
 * be made says nothing against the write. */
static int endpointMuteHolds(void *, uint32_t, uint32_t muted) {
  EndpointHold check;
  if (!comSucceeded(holdDefaultVolume(&check, AUDIO_RENDER, AUDIO_CONSOLE)))
    return 1;
  int32_t seen = 0;
  int other = comSucceeded(platformGetVolumeMute(check.volume, &seen)) &&
              (seen != 0) != (muted != 0);
  releaseHold(&check);
  if (other)
    commandFails(FAILED_MUTE_DID_NOT_HOLD, nullptr, 0);
  return !other;
}

static const VolumeBackend ENDPOINT_BACKEND = {
    readEndpointPercent, writeEndpointPercent, readEndpointMute,
    writeEndpointMute, endpointMuteHolds};

int runOnEndpoint(const CommandRequest *request, CommandOutcome *outcome) {
  EndpointHold hold;
  ComResult opened = holdDefaultVolume(&hold, AUDIO_RENDER, AUDIO_CONSOLE);
  /* Only a system without Core Audio falls back: there the classic mixer
   * is the machine's own. Where Core Audio exists the mixer would change
   * nothing but the host's own sounds, so a failure there is a failure. */
  if ((uint32_t)opened == COM_CLASS_NOT_REGISTERED)
    return runOnMixer(request, outcome);
  if (!comTook(opened, unreachedDevice(opened, AUDIO_RENDER)))
    return 0;
  VolumeTarget target = {&ENDPOINT_BACKEND, hold.volume, 1, request->settings};
  int result = runVolumeCommand(&target, (VolumeAction)request->action,
                                request->argument, outcome);
  releaseHold(&hold);
  return result;
}

int runOnPlayback(const CommandRequest *request, CommandOutcome *outcome) {
  return settingOn(request->settings, SETTING_ENDPOINT)
             ? runOnEndpoint(request, outcome)
             : runOnMixer(request, outcome);
}
