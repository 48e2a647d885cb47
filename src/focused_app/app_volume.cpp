/*
 * The focused application's sessions as one volume backend: the volume
 * read is the loudest session's, every write goes to every session.
 */
#include "focused_app/focused_app.h"

#include "core_audio/core_audio.h"
#include "endpoint/endpoint.h"
#include "focused_app/app_sessions.h"

static const AppSessions *sessionsOf(const VolumeTarget *target) {
  return (const AppSessions *)target->appSessions;
}

/* A step starts from what the user hears loudest. */
static int readLoudest(const VolumeTarget *target, uint32_t *percent) {
  const AppSessions *found = sessionsOf(target);
  uint32_t loudest = 0;
  for (uint32_t i = 0; i < found->taken; i++) {
    float scalar = 0.0f;
    uint32_t value = 0;
    if (!comSucceeded(platformSessionGetVolume(found->volumes[i], &scalar)) ||
        !percentFromScalar(scalar, &value))
      return 0;
    if (value > loudest)
      loudest = value;
  }
  *percent = loudest;
  return 1;
}

/* Every session is tried, so that one that refuses does not keep the
 * others where they were; the result says whether all of them took. */
static int writeEvery(const VolumeTarget *target, uint32_t percent) {
  const AppSessions *found = sessionsOf(target);
  int all = 1;
  for (uint32_t i = 0; i < found->taken; i++)
    if (!comSucceeded(platformSessionSetVolume(found->volumes[i],
                                               (float)percent / 100.0f)))
      all = 0;
  return all;
}

static int readFirstMute(const VolumeTarget *target, uint32_t *muted) {
  int32_t value = 0;
  if (!comSucceeded(
          platformSessionGetMute(sessionsOf(target)->volumes[0], &value)))
    return 0;
  *muted = value != 0;
  return 1;
}

/* Writes only where a session is not in the state already; a session
 * whose mute cannot be read is written all the same. */
static int bringEveryMute(const VolumeTarget *target, uint32_t muted) {
  const AppSessions *found = sessionsOf(target);
  int32_t wanted = muted ? 1 : 0;
  int all = 1;
  for (uint32_t i = 0; i < found->taken; i++) {
    int32_t current = 0;
    if (comSucceeded(platformSessionGetMute(found->volumes[i], &current)) &&
        (current != 0) == (wanted != 0))
      continue;
    if (!comSucceeded(platformSessionSetMute(found->volumes[i], wanted)))
      all = 0;
  }
  return all;
}

static const VolumeBackend APP_BACKEND = {readLoudest, writeEvery,
                                          readFirstMute, bringEveryMute};

/* Mute on and off bring every session to the state, not only the first:
 * the shared setMute would stop at a first session already there. */
static int runOnSessions(VolumeCommand command, AppSessions *found,
                         VolumeOutcome *outcome) {
  VolumeTarget target = {0, 0, nullptr, found};
  if (command.action == VOLUME_SET_MUTE) {
    outcome->showsLevel = 0;
    outcome->muted = command.amount != 0;
    return bringEveryMute(&target, outcome->muted);
  }
  return runVolumeCommand(&APP_BACKEND, &target, command, outcome);
}

int runOnFocusedApp(VolumeCommand command, VolumeOutcome *outcome) {
  uint32_t process = focusedProcess();
  if (process == 0)
    return 0;
  ComApartment apartment;
  if (!comSucceeded(enterCom(&apartment)))
    return 0;
  int result = 0;
  ComObject enumerator = nullptr;
  if (comSucceeded(createDeviceEnumerator(&enumerator))) {
    AppSessions found;
    found.count = 0;
    found.taken = 0;
    found.complete = 1;
    listSessions(enumerator, &found);
    takeSessions(&found, process);
    if (found.taken > 0)
      result = runOnSessions(command, &found, outcome) && found.complete;
    releaseSessions(&found);
    platformComRelease(enumerator);
  }
  leaveCom(&apartment);
  return result;
}
