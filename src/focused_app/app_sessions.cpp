/*
 * The sessions of every active playback device, and the facts the rule of
 * session_choice.cpp asks to find the focused application's among them,
 * answered through Core Audio and the process calls.
 */
#include "focused_app/app_sessions.h"

#include "core_audio/core_audio.h"
#include "focused_app/focused_process.h"
#include "focused_app/session_choice.h"

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

/* The focused process and its executable, read once when first needed,
 * with the sessions being judged. */
struct Judging {
  AppSessions *found;
  uint32_t processId;
  int8_t imageFlag; /* its executable read, or NOT_JUDGED */
  uint16_t image[IMAGE_PATH_SIZE];
};

static SessionEntry *entryOf(void *context, uint32_t session) {
  return &((Judging *)context)->found->entries[session];
}

static uint32_t sessionProcess(void *context, uint32_t session) {
  return entryOf(context, session)->processId;
}

static int counts(void *context, uint32_t session) {
  return sessionCounts(entryOf(context, session));
}

static int plays(void *context, uint32_t session) {
  SessionEntry *entry = entryOf(context, session);
  return sessionCounts(entry) && entry->activeFlag;
}

/* A helper runs the focused process's executable. A process is looked at
 * once, however many sessions it has and in whatever order they are
 * judged; where the focused one's executable cannot be read, none is a
 * helper. */
static int runsTheSameFile(void *context, uint32_t session) {
  Judging *judging = (Judging *)context;
  AppSessions *found = judging->found;
  SessionEntry *entry = &found->entries[session];
  for (uint32_t i = 0; i < found->count && entry->sameFileFlag == NOT_JUDGED;
       i++)
    if (i != session && found->entries[i].processId == entry->processId)
      entry->sameFileFlag = found->entries[i].sameFileFlag;
  if (judging->imageFlag == NOT_JUDGED)
    judging->imageFlag = processImage(judging->processId, judging->image);
  if (entry->sameFileFlag == NOT_JUDGED && judging->imageFlag) {
    uint16_t path[IMAGE_PATH_SIZE];
    entry->sameFileFlag =
        processImage(entry->processId, path) && samePath(path, judging->image);
  }
  return entry->sameFileFlag == 1;
}

static void take(void *context, uint32_t session) {
  AppSessions *found = ((Judging *)context)->found;
  ComObject volume = nullptr;
  if (comTook(querySession(found->entries[session].control,
                           SESSION_SIMPLE_VOLUME, &volume),
              FAILED_SESSION_REFUSED))
    found->volumes[found->taken++] = volume;
  else
    found->allTaken = 0;
}

void takeSessions(AppSessions *found, uint32_t processId) {
  Judging judging;
  judging.found = found;
  judging.processId = processId;
  judging.imageFlag = NOT_JUDGED;
  SessionFacts facts = {};
  facts.context = &judging;
  facts.count = found->count;
  facts.focusedProcess = processId;
  facts.process = sessionProcess;
  facts.counts = counts;
  facts.plays = plays;
  facts.ofHelper = runsTheSameFile;
  facts.choose = take;
  chooseAppSessions(&facts);
}

void releaseSessions(AppSessions *found) {
  for (uint32_t i = 0; i < found->taken; i++)
    platformComRelease(found->volumes[i]);
  for (uint32_t i = 0; i < found->count; i++)
    platformComRelease(found->entries[i].control);
  found->taken = 0;
  found->count = 0;
}
