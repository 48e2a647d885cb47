/*
 * The microphone's mute commands over the console and communications
 * recording defaults, one device or two.
 */
#include "microphone/microphone.h"

#include "core_audio/core_audio.h"
#include "core_audio/held_devices.h"
#include "volume_commands/volume_commands.h"

enum { ENDPOINT_ID_SIZE = 256 };

/* The default recording devices of one command: the console role's, then
 * the communications role's where that is another device. */
struct Microphones {
  HeldDevices held;
  int complete; /* 0 when the communications default could not be told */
};

/* Whether two endpoints are one device, by their ids. Ids that cannot be
 * read count as two devices: bringing one device to a state twice does no
 * harm, as the second time finds it there. */
static int sameEndpoint(ComObject first, ComObject second) {
  uint16_t a[ENDPOINT_ID_SIZE], b[ENDPOINT_ID_SIZE];
  if (!comSucceeded(platformEndpointId(first, a, ENDPOINT_ID_SIZE)) ||
      !comSucceeded(platformEndpointId(second, b, ENDPOINT_ID_SIZE)))
    return 0;
  uint32_t i = 0;
  while (a[i] == b[i] && a[i] != 0)
    i++;
  return a[i] == b[i];
}

/* The console default, which there must be, then the communications
 * default where it is another device. Where the latter cannot be found
 * for another reason than that there is none, the command goes on with
 * the console default and reports a failure. */
static ComResult findMicrophones(ComObject enumerator, Microphones *found) {
  ComObject device = nullptr;
  ComResult result =
      findDefaultEndpoint(enumerator, AUDIO_CAPTURE, AUDIO_CONSOLE, &device);
  if (!comTook(result, unreachedDevice(result, AUDIO_CAPTURE)))
    return result;
  holdDevice(&found->held, device);
  result = findDefaultEndpoint(enumerator, AUDIO_CAPTURE, AUDIO_COMMUNICATIONS,
                               &device);
  if (!comSucceeded(result)) {
    found->complete = (uint32_t)result == COM_E_NOT_FOUND;
    if (!found->complete)
      commandFails(FAILED_COMMUNICATIONS_UNREACHED, nullptr, (uint32_t)result);
    return 0;
  }
  if (sameEndpoint(found->held.devices[0], device))
    platformComRelease(device);
  else
    holdDevice(&found->held, device);
  return 0;
}

static const VolumeBackend MICROPHONE_BACKEND = {readHeldPercent,
                                                 writeHeldPercent, readHeldMute,
                                                 writeHeldMute, heldMuteHolds};

struct MicrophoneCommand {
  const CommandRequest *request;
  CommandOutcome *outcome;
};

/* Every device is tried, so that a device that refuses does not keep the
 * others live; the result says whether all of them took. The console
 * default, which decides a toggle, must be reachable. No settings: a
 * level change never lifts a microphone's mute, whatever UnmuteOnChange
 * says, as a muted microphone is the user's privacy. */
static int runOnFound(Microphones *found, const MicrophoneCommand *command) {
  int all = activateHeldVolumes(&found->held) && found->complete;
  if (!found->held.volumes[0])
    return 0;
  VolumeTarget target = {&MICROPHONE_BACKEND, &found->held, found->held.count,
                         nullptr};
  const CommandRequest *request = command->request;
  return runVolumeCommand(&target, (VolumeAction)request->action,
                          request->argument, command->outcome) &&
         all;
}

static int runWithEnumerator(ComObject enumerator, void *context) {
  Microphones found = {{{nullptr, nullptr}, {nullptr, nullptr}, 0}, 1};
  int result = 0;
  if (comSucceeded(findMicrophones(enumerator, &found)))
    result = runOnFound(&found, (const MicrophoneCommand *)context);
  releaseHeldDevices(&found.held);
  return result;
}

int runOnMicrophones(const CommandRequest *request, CommandOutcome *outcome) {
  MicrophoneCommand command = {request, outcome};
  return withDeviceEnumerator(runWithEnumerator, &command);
}
