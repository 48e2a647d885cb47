/*
 * The sessions of every active playback device, judged as the choosing
 * rules ask, and their volumes.
 */
#include "core_audio/held_sessions.h"

#include "core_audio/core_audio.h"

/* Keeps a session's IAudioSessionControl2 and its process. One that
 * cannot be asked them is left out. */
static void addSession(ComObject sessions, int32_t index, HeldSessions *found) {
  ComObject control = nullptr, control2 = nullptr;
  if (found->count == MAX_HELD_SESSIONS ||
      !comSucceeded(sessionItem(sessions, index, &control)))
    return;
  ComResult result = querySession(control, SESSION_CONTROL2, &control2);
  platformComRelease(control);
  uint32_t processId = 0;
  if (comSucceeded(result))
    result = platformSessionProcessId(control2, &processId);
  if (!comSucceeded(result)) {
    if (control2)
      platformComRelease(control2);
    return;
  }
  found->entries[found->count++] = {control2, processId, NOT_JUDGED,
                                    0,        0,         NOT_JUDGED};
}

/* Windows Vista has no IAudioSessionManager2: there every device fails
 * here and no session is found. A device unplugged while it is listed
 * (AUDCLNT_E_DEVICE_INVALIDATED) is left out as well. */
static void listDeviceSessions(ComObject device, HeldSessions *found) {
  ComObject manager = nullptr, sessions = nullptr;
  int32_t count = 0;
  ComResult result = activateInterface(device, AUDIO_SESSION_MANAGER, &manager);
  if (comSucceeded(result))
    result = listSessionsOf(manager, &sessions);
  if (comSucceeded(result))
    result = platformSessionCount(sessions, &count);
  for (int32_t i = 0; comSucceeded(result) && i < count; i++)
    addSession(sessions, i, found);
  if (sessions)
    platformComRelease(sessions);
  if (manager)
    platformComRelease(manager);
}

void listSessions(ComObject enumerator, HeldSessions *found) {
  ComObject devices = nullptr;
  uint32_t count = 0;
  found->count = 0;
  found->taken = 0;
  found->allTaken = 1;
  ComResult result = enumerateEndpoints(enumerator, AUDIO_RENDER, &devices);
  if (comSucceeded(result))
    result = platformEndpointCount(devices, &count);
  comTook(result, FAILED_PLAYBACK_UNLISTED);
  for (uint32_t i = 0; comSucceeded(result) && i < count; i++) {
    ComObject device = nullptr;
    if (!comSucceeded(endpointItem(devices, i, &device)))
      continue;
    listDeviceSessions(device, found);
    platformComRelease(device);
  }
  if (devices)
    platformComRelease(devices);
}

/* Its state also tells whether it plays. IsSystemSoundsSession answers
 * S_OK for that session, S_FALSE for any other; an expired session is
 * not asked. */
int sessionLive(SessionEntry *entry) {
  if (entry->liveFlag != NOT_JUDGED)
    return entry->liveFlag;
  int32_t state = 0;
  ComResult result = platformSessionState(entry->control, &state);
  ComResult system = COM_S_FALSE;
  if (comSucceeded(result) && state != AUDIO_SESSION_EXPIRED)
    result = system = platformSessionIsSystemSounds(entry->control);
  entry->liveFlag = comSucceeded(result) && state != AUDIO_SESSION_EXPIRED;
  entry->active = state == AUDIO_SESSION_ACTIVE;
  entry->systemSounds = system == 0;
  return entry->liveFlag;
}

void chooseSession(HeldSessions *found, uint32_t index) {
  ComObject volume = nullptr;
  if (comTook(querySession(found->entries[index].control, SESSION_SIMPLE_VOLUME,
                           &volume),
              FAILED_SESSION_REFUSED))
    found->volumes[found->taken++] = volume;
  else
    found->allTaken = 0;
}

void releaseSessions(HeldSessions *found) {
  for (uint32_t i = 0; i < found->taken; i++)
    platformComRelease(found->volumes[i]);
  for (uint32_t i = 0; i < found->count; i++)
    platformComRelease(found->entries[i].control);
  found->taken = 0;
  found->count = 0;
}

static ComObject sessionVolume(void *found, uint32_t index) {
  return ((const HeldSessions *)found)->volumes[index];
}

int readSessionPercent(void *found, uint32_t index, uint32_t *percent) {
  float scalar = 0.0f;
  return comTook(platformSessionGetVolume(sessionVolume(found, index), &scalar),
                 FAILED_SESSION_REFUSED) &&
         percentFromScalar(scalar, percent);
}

int writeSessionPercent(void *found, uint32_t index, uint32_t percent) {
  return comTook(platformSessionSetVolume(sessionVolume(found, index),
                                          (float)percent / 100.0f),
                 FAILED_SESSION_REFUSED);
}

int readSessionMute(void *found, uint32_t index, uint32_t *muted) {
  int32_t value = 0;
  if (!comTook(platformSessionGetMute(sessionVolume(found, index), &value),
               FAILED_SESSION_REFUSED))
    return 0;
  *muted = value != 0;
  return 1;
}

int writeSessionMute(void *found, uint32_t index, uint32_t muted) {
  return comTook(
      platformSessionSetMute(sessionVolume(found, index), muted ? 1 : 0),
      FAILED_SESSION_REFUSED);
}
