/*
 * The audio sessions of every active playback device that one command
 * holds, what it learns of each as it needs it, and the volume backend
 * operations over the sessions it chose: each one's ISimpleAudioVolume.
 * The focused application and a program by name choose among the same
 * sessions by rules of their own.
 */
#ifndef VOLUME_HELD_SESSIONS_H
#define VOLUME_HELD_SESSIONS_H

#include <cstdint>

#include "platform/platform.h"

enum {
  /* Sessions of all programs on all devices that one command examines;
   * those past it are not looked at, as a device that cannot be read. */
  MAX_HELD_SESSIONS = 128,
  NOT_JUDGED = -1
};

/* A session found. Its flags are 1 or 0 once judged, NOT_JUDGED until
 * then: each costs calls, made only when needed. */
struct SessionEntry {
  ComObject control; /* its IAudioSessionControl2, held */
  uint32_t processId;
  /* Its state read and not expired, and whether it is the system sounds'
   * read; judged once, with active and systemSounds. */
  int8_t liveFlag;
  int8_t active;       /* plays now */
  int8_t systemSounds; /* the system sounds' session */
  int8_t mark;         /* what the choosing family made of it */
};

struct HeldSessions {
  SessionEntry entries[MAX_HELD_SESSIONS]; /* every session, device order */
  uint32_t count;
  /* The chosen sessions, in the same order: their volumes, held. */
  ComObject volumes[MAX_HELD_SESSIONS];
  uint32_t taken;
  int allTaken; /* every chosen session's volume could be held */
};

/* Lists the sessions of every active playback device into found. A device
 * or session that cannot be examined is left out: it fails no command
 * that finds what it looks for elsewhere. */
void listSessions(ComObject enumerator, HeldSessions *found);
/* Whether a session is live (its state and its being the system sounds'
 * read, not expired), judging it once; one that cannot tell is not. */
int sessionLive(SessionEntry *entry);
/* Holds the ISimpleAudioVolume of the index-th session as the next chosen
 * one; where it cannot be had, allTaken falls and the reason is given. */
void chooseSession(HeldSessions *found, uint32_t index);
/* Releases every interface found holds. */
void releaseSessions(HeldSessions *found);

/* A VolumeBackend's operations over the chosen sessions, the context being
 * the HeldSessions: each one's master volume × 100, rounded half up, as
 * the endpoint's; a write of n percent sets n / 100. */
int readSessionPercent(void *found, uint32_t index, uint32_t *percent);
int writeSessionPercent(void *found, uint32_t index, uint32_t percent);
int readSessionMute(void *found, uint32_t index, uint32_t *muted);
int writeSessionMute(void *found, uint32_t index, uint32_t muted);

#endif
