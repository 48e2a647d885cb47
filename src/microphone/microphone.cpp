/*
 * The microphone's mute commands over the console and communications
 * recording defaults, one device or two.
 */
#include "microphone/microphone.h"

#include "core_audio/core_audio.h"
#include "volume_commands/volume_commands.h"

enum { ENDPOINT_ID_SIZE = 256, MAX_MICROPHONES = 2 };

/* The default recording devices of one command: the console role's, then
 * the communications role's where that is another device. */
struct Microphones {
  ComObject devices[MAX_MICROPHONES]; /* IMMDevice */
  ComObject volumes[MAX_MICROPHONES]; /* their IAudioEndpointVolume */
  uint32_t count;
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
  if (!comSucceeded(result))
    return result;
  found->devices[found->count++] = device;
  result = findDefaultEndpoint(enumerator, AUDIO_CAPTURE, AUDIO_COMMUNICATIONS,
                               &device);
  if (!comSucceeded(result)) {
    found->complete = (uint32_t)result == COM_E_NOT_FOUND;
    return 0;
  }
  if (sameEndpoint(found->devices[0], device))
    platformComRelease(device);
  else
    found->devices[found->count++] = device;
  return 0;
}

static void releaseMicrophones(Microphones *found) {
  for (uint32_t i = 0; i < found->count; i++) {
    if (found->volumes[i])
      platformComRelease(found->volumes[i]);
    platformComRelease(found->devices[i]);
  }
  found->count = 0;
}

/* The context of the backend below is the command's Microphones; a
 * device whose volume could not be activated refuses everything. */
static ComObject volumeOf(void *context, uint32_t index) {
  return ((Microphones *)context)->volumes[index];
}

/* The microphone has only mute commands. */
static int noPercent(void *, uint32_t, uint32_t *) { return 0; }
static int noWrite(void *, uint32_t, uint32_t) { return 0; }

static int readMicrophoneMute(void *context, uint32_t index, uint32_t *muted) {
  ComObject volume = volumeOf(context, index);
  int32_t value = 0;
  if (!volume || !comSucceeded(platformGetVolumeMute(volume, &value)))
    return 0;
  *muted = value != 0;
  return 1;
}

static int writeMicrophoneMute(void *context, uint32_t index, uint32_t muted) {
  ComObject volume = volumeOf(context, index);
  return volume && comSucceeded(platformSetVolumeMute(volume, muted ? 1 : 0));
}

/* Whether a device, looked at through a fresh interface, shows the state
 * just written (see the endpoint's). A look that cannot be made says
 * nothing against the write. */
static int microphoneMuteHolds(void *context, uint32_t index, uint32_t muted) {
  ComObject device = ((Microphones *)context)->devices[index];
  ComObject volume = nullptr;
  if (!comSucceeded(activateInterface(device, AUDIO_ENDPOINT_VOLUME, &volume)))
    return 1;
  int32_t seen = 0;
  int other = comSucceeded(platformGetVolumeMute(volume, &seen)) &&
              (seen != 0) != (muted != 0);
  platformComRelease(volume);
  return !other;
}

static const VolumeBackend MICROPHONE_BACKEND = {
    noPercent, noWrite, readMicrophoneMute, writeMicrophoneMute,
    microphoneMuteHolds};

struct MicrophoneCommand {
  const CommandRequest *request;
  CommandOutcome *outcome;
};

/* Every device is tried, so that a device that refuses does not keep the
 * others live; the result says whether all of them took. The console
 * default, which decides a toggle, must be reachable. */
static int muteMicrophones(Microphones *found,
                           const MicrophoneCommand *command) {
  int all = found->complete;
  for (uint32_t i = 0; i < found->count; i++)
    if (!comSucceeded(activateInterface(
            found->devices[i], AUDIO_ENDPOINT_VOLUME, &found->volumes[i])))
      all = 0;
  if (!found->volumes[0])
    return 0;
  VolumeTarget target = {&MICROPHONE_BACKEND, found, found->count, nullptr};
  const CommandRequest *request = command->request;
  return runVolumeCommand(&target, (VolumeAction)request->action,
                          request->argument, command->outcome) &&
         all;
}

static int muteWithEnumerator(ComObject enumerator, void *context) {
  Microphones found = {{nullptr, nullptr}, {nullptr, nullptr}, 0, 1};
  int result = 0;
  if (comSucceeded(findMicrophones(enumerator, &found)))
    result = muteMicrophones(&found, (const MicrophoneCommand *)context);
  releaseMicrophones(&found);
  return result;
}

int runOnMicrophones(const CommandRequest *request, CommandOutcome *outcome) {
  MicrophoneCommand command = {request, outcome};
  return withDeviceEnumerator(muteWithEnumerator, &command);
}
