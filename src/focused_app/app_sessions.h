/*
 * The parts of the focused application's commands: which process is in
 * the foreground, the sessions of every playback device, and which of
 * them are that application's.
 */
#ifndef VOLUME_APP_SESSIONS_H
#define VOLUME_APP_SESSIONS_H

#include <cstdint>

#include "platform/platform.h"

enum {
  /* Sessions of all programs on all devices that one command examines;
   * those past it are not looked at, as a device that cannot be read. */
  MAX_APP_SESSIONS = 128
};

/* A session found. Its flags are 1 or 0 once judged, NOT_JUDGED (-1)
 * until then: each costs calls, made only when needed. */
struct SessionEntry {
  ComObject control; /* its IAudioSessionControl2, held */
  uint32_t processId;
  int8_t countsFlag;   /* neither expired nor the system sounds' */
  int8_t activeFlag;   /* playing now; judged with countsFlag */
  int8_t sameFileFlag; /* its process runs the focused one's executable */
};

struct AppSessions {
  SessionEntry entries[MAX_APP_SESSIONS]; /* every session, in device order */
  uint32_t count;
  /* The application's sessions, in the same order: their volumes, held. */
  ComObject volumes[MAX_APP_SESSIONS];
  uint32_t taken;
  int allTaken; /* every session of the application could be held */
};

/* Lists the sessions of every active playback device into found (empty,
 * allTaken, before). A device or session that cannot be examined is left
 * out: it fails no command that finds the application elsewhere. */
void listSessions(ComObject enumerator, AppSessions *found);
/* Takes the sessions the rule chooses for the focused process processId
 * (session_choice.h; a helper runs its executable) and holds each one's
 * ISimpleAudioVolume. */
void takeSessions(AppSessions *found, uint32_t processId);
/* Releases every interface found holds. */
void releaseSessions(AppSessions *found);

#endif
