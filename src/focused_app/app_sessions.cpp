/*
 * The sessions of every active playback device, and which of them belong
 * to the focused application.
 */
#include "focused_app/app_sessions.h"

#include "core_audio/core_audio.h"
#include "focused_app/focused_process.h"

enum { NOT_JUDGED = -1 };

/* Keeps a session's IAudioSessionControl2 and its process. One that
 * cannot be asked them is left out. */
static void addSession(ComObject sessions, int32_t index, AppSessions *found) {
  ComObject control = nullptr, control2 = nullptr;
  if (found->count == MAX_APP_SESSIONS ||
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
  found->entries[found->count++] = {control2, processId, NOT_JUDGED, NOT_JUDGED,
                                    NOT_JUDGED};
}

/* Windows Vista has no IAudioSessionManager2: there every device fails
 * here and no session is found. A device unplugged while it is listed
 * (AUDCLNT_E_DEVICE_INVALIDATED) is left out as well. */
static void listDeviceSessions(ComObject device, AppSessions *found) {
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

void listSessions(ComObject enumerator, AppSessions *found) {
  ComObject devices = nullptr;
  uint32_t count = 0;
  ComResult result = enumerateEndpoints(enumerator, AUDIO_RENDER, &devices);
  if (comSucceeded(result))
    result = platformEndpointCount(devices, &count);
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

/* Whether a session counts: neither expired nor the system sounds'. One
 * that cannot be told does not. Its state also tells whether it plays. */
static int sessionCounts(SessionEntry *entry) {
  if (entry->countsFlag != NOT_JUDGED)
    return entry->countsFlag;
  int32_t state = 0;
  ComResult result = platformSessionState(entry->control, &state);
  ComResult system = 0;
  if (comSucceeded(result) && state != AUDIO_SESSION_EXPIRED)
    result = system = platformSessionIsSystemSounds(entry->control);
  /* IsSystemSoundsSession answers S_OK for that session, S_FALSE else. */
  entry->countsFlag = comSucceeded(result) && state != AUDIO_SESSION_EXPIRED &&
                      (uint32_t)system != 0;
  entry->activeFlag = entry->countsFlag && state == AUDIO_SESSION_ACTIVE;
  return entry->countsFlag;
}

/* Whether a session's process runs that executable. A process is looked
 * at once, however many sessions it has and in whatever order they are
 * judged. */
static int runsFile(AppSessions *found, uint32_t at, const uint16_t *file) {
  SessionEntry *entry = &found->entries[at];
  for (uint32_t i = 0; i < found->count && entry->sameFileFlag == NOT_JUDGED;
       i++)
    if (i != at && found->entries[i].processId == entry->processId)
      entry->sameFileFlag = found->entries[i].sameFileFlag;
  if (entry->sameFileFlag == NOT_JUDGED) {
    uint16_t path[IMAGE_PATH_SIZE];
    entry->sameFileFlag =
        processImage(entry->processId, path) && samePath(path, file);
  }
  return entry->sameFileFlag == 1;
}

static void take(AppSessions *found, SessionEntry *entry) {
  ComObject volume = nullptr;
  if (comTook(querySession(entry->control, SESSION_SIMPLE_VOLUME, &volume),
              FAILED_SESSION_REFUSED))
    found->volumes[found->taken++] = volume;
  else
    found->allTaken = 0;
}

/* Whether a session of another process plays (onlyFile null) or one of
 * another process that runs that executable. */
static int anotherPlays(AppSessions *found, uint32_t processId,
                        const uint16_t *onlyFile) {
  for (uint32_t i = 0; i < found->count; i++) {
    SessionEntry *entry = &found->entries[i];
    if (entry->processId != processId && sessionCounts(entry) &&
        entry->activeFlag && (!onlyFile || runsFile(found, i, onlyFile)))
      return 1;
  }
  return 0;
}

/* The sessions of the executable's other processes. With an own session
 * taken, only where none of them plays and one of the others does: a
 * program whose helper plays is heard through the helper. Processes are
 * opened only for sessions that count, and only when it may matter. */
static void takeSameFile(AppSessions *found, uint32_t processId, int ownIdle) {
  uint16_t file[IMAGE_PATH_SIZE];
  if ((ownIdle && !anotherPlays(found, processId, nullptr)) ||
      !processImage(processId, file) ||
      (ownIdle && !anotherPlays(found, processId, file)))
    return;
  for (uint32_t i = 0; i < found->count; i++) {
    SessionEntry *entry = &found->entries[i];
    if (entry->processId != processId && sessionCounts(entry) &&
        runsFile(found, i, file))
      take(found, entry);
  }
}

void takeSessions(AppSessions *found, uint32_t processId) {
  int ownSessions = 0, ownPlays = 0;
  for (uint32_t i = 0; i < found->count; i++) {
    SessionEntry *entry = &found->entries[i];
    if (entry->processId == processId && sessionCounts(entry)) {
      take(found, entry);
      ownSessions = 1;
      ownPlays |= entry->activeFlag;
    }
  }
  if (!ownPlays)
    takeSameFile(found, processId, ownSessions);
}

void releaseSessions(AppSessions *found) {
  for (uint32_t i = 0; i < found->taken; i++)
    platformComRelease(found->volumes[i]);
  for (uint32_t i = 0; i < found->count; i++)
    platformComRelease(found->entries[i].control);
  found->taken = 0;
  found->count = 0;
}
