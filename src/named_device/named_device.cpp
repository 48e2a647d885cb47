/*
 * A named device as a volume backend of one target: the device found by
 * its name, held with its endpoint volume for the command.
 */
#include "named_device/named_device.h"

#include "core_audio/core_audio.h"
#include "core_audio/device_names.h"
#include "core_audio/held_devices.h"
#include "volume_commands/volume_commands.h"

static const VolumeBackend NAMED_DEVICE_BACKEND = {
    readHeldPercent, writeHeldPercent, readHeldMute, writeHeldMute,
    heldMuteHolds};

struct NamedDeviceCommand {
  const CommandRequest *request;
  CommandOutcome *outcome;
  AudioFlow flow;
  const char *text;
};

static int runOnDevice(HeldDevices *held, const NamedDeviceCommand *command) {
  const CommandRequest *request = command->request;
  /* A recording device's mute is the user's privacy: only a mute command
   * lifts it. */
  const Settings *settings =
      command->flow == AUDIO_RENDER ? request->settings : nullptr;
  VolumeTarget target = {&NAMED_DEVICE_BACKEND, held, 1, settings};
  return activateHeldVolumes(held) &&
         runVolumeCommand(&target, (VolumeAction)request->action,
                          request->argument, command->outcome);
}

static int runWithEnumerator(ComObject enumerator, void *context) {
  const NamedDeviceCommand *command = (const NamedDeviceCommand *)context;
  HeldDevices held = {{nullptr, nullptr}, {nullptr, nullptr}, 0};
  ComObject device = nullptr;
  uint16_t name[OUTCOME_NAME_SIZE + 1];
  if (!findDeviceNamed(enumerator, command->flow, command->text, &device, name,
                       OUTCOME_NAME_SIZE + 1))
    return 0;
  holdDevice(&held, device);
  int result = runOnDevice(&held, command);
  releaseHeldDevices(&held);
  if (result && command->request->describe)
    nameOutcome(command->outcome, name);
  return result;
}

static int runOnNamedDevice(const CommandRequest *request,
                            CommandOutcome *outcome, AudioFlow flow,
                            SettingTextId texts) {
  NamedDeviceCommand command = {
      request, outcome, flow,
      settingText(request->settings, texts, request->slot)};
  if (command.text[0] == '\0') {
    commandFails(FAILED_EMPTY_SLOT, nullptr, 0);
    return 0;
  }
  return withDeviceEnumerator(runWithEnumerator, &command);
}

int runOnNamedOutput(const CommandRequest *request, CommandOutcome *outcome) {
  return runOnNamedDevice(request, outcome, AUDIO_RENDER, SETTING_TEXT_OUTPUT);
}

int runOnNamedInput(const CommandRequest *request, CommandOutcome *outcome) {
  return runOnNamedDevice(request, outcome, AUDIO_CAPTURE, SETTING_TEXT_INPUT);
}
