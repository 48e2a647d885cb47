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
   * a machine with more cannot be told about, and the command fails. */
  MAX_APP_SESSIONS = 128
};

/* A session found. Its two flags are 1 or 0 once judged, NOT_JUDGED
 * (-1) until then: each costs calls, made only when needed. */
struct SessionEntry {
  ComObject control; /* its IAudioSessionControl2, held */
  uint32_t processId;
  int8_t countsFlag;   /* neither expired nor the system sounds' */
  int8_t sameFileFlag; /* its process runs the focused one's executable */
};

struct AppSessions {
  SessionEntry entries[MAX_APP_SESSIONS]; /* every session, in device order */
  uint32_t count;
  /* The application's sessions, in the same order: their volumes, held. */
  ComObject volumes[MAX_APP_SESSIONS];
  uint32_t taken;
  int complete; /* every device and every session could be examined */
};

/* Lists the sessions of every active playback device into found (empty,
 * complete, before). A device or session that cannot be examined leaves
 * found incomplete; the others are listed all the same. */
void listSessions(ComObject enumerator, AppSessions *found);
/* Takes the sessions of processId, or where it has none those of its
 * executable, and holds each one's ISimpleAudioVolume. */
void takeSessions(AppSessions *found, uint32_t processId);
/* Releases every interface found holds. */
void releaseSessions(AppSessions *found);

#endif
