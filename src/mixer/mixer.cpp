/*
 * The classic mixer as a volume backend of one target: the volume of the
 * line that VolComponentType chooses, the mute of the speakers line. Its
 * context is that setting.
 */
#include "mixer/mixer.h"

#include "volume_commands/volume_commands.h"

static int32_t componentTypeOf(void *context) {
  return *(const int32_t *)context;
}

static int readMixerPercent(void *context, uint32_t, uint32_t *percent) {
  return readVolumePercent(componentTypeOf(context), percent);
}

static int writeMixerPercent(void *context, uint32_t, uint32_t percent) {
  return writeVolumePercent(componentTypeOf(context), percent);
}

static int readSpeakersMute(void *, uint32_t, uint32_t *muted) {
  return readMixerMute(muted);
}

static int writeSpeakersMute(void *, uint32_t, uint32_t muted) {
  return writeMixerMute(muted);
}

static const VolumeBackend MIXER_BACKEND = {readMixerPercent, writeMixerPercent,
                                            readSpeakersMute, writeSpeakersMute,
                                            nullptr};

int runOnMixer(const CommandRequest *request, CommandOutcome *outcome) {
  const Settings *settings = request->settings;
  int32_t componentType = settingValue(settings, SETTING_COMPONENT_TYPE);
  VolumeTarget target = {&MIXER_BACKEND, &componentType, 1, settings};
  return runVolumeCommand(&target, (VolumeAction)request->action,
                          request->argument, outcome);
}
