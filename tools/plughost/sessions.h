/*
 * `plughost sessions`: every audio session on every active playback
 * device, which of them the focused application's commands would change
 * now and which each Program<k> text of the settings file reaches, so
 * that a user can see why a command does or does not reach a program.
 *
 * The platform part reads the sessions and the foreground window (Core
 * Audio and user32 on Windows, the sim inside the loaded plug-in elsewhere)
 * into plain reports; the portable part (sessions.cpp) finds the focused
 * application and marks its sessions by calling the plug-in's own rule
 * (src/focused_app/session_choice.cpp), which it answers from the reports,
 * and marks the sessions each Program<k> text of the settings file reaches
 * by the plug-in's rule of names (src/program/program_names.h).
 */
#ifndef PLUGHOST_SESSIONS_H
#define PLUGHOST_SESSIONS_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "focused_app/session_choice.h"
#include "plughost/plughost.h"

enum {
  SESSION_TEXT_SIZE = 256,   /* a path or name, as UTF-8 */
  LISTED_SESSIONS_MAX = 128, /* sessions listed; more are counted */
  SESSION_ACTIVE = 1,        /* AudioSessionStateActive */
  SESSION_EXPIRED = 2        /* AudioSessionStateExpired */
};

/* A report's device where the playback devices could not be listed. */
enum : uint32_t { NO_DEVICE = 0xFFFFFFFFu };

/* What a report is: a session read, or what could not be read. */
enum ReportKind { SESSION_UNREAD, SESSION_READ, DEVICE_UNREAD };

struct SessionReport {
  uint32_t device; /* index among the active playback devices */
  ReportKind kind;
  uint32_t error;   /* the HRESULT of the call that failed */
  int32_t position; /* SESSION_UNREAD: its place in its device's list */
  uint32_t processId;
  int32_t state; /* an AudioSessionState */
  int systemSounds;
  int volumeKnown;
  float volume; /* ISimpleAudioVolume's master volume */
  int muted;
  char executable[SESSION_TEXT_SIZE];  /* empty when it cannot be told */
  char displayName[SESSION_TEXT_SIZE]; /* DEVICE_UNREAD: the device's */
  int taken;         /* the focused application's commands change it */
  unsigned programs; /* bit k: Program<k> of the settings file reaches it */
};

struct SessionsListing {
  uint32_t focusedProcess; /* 0: no window in the foreground */
  uint32_t frameProcess;   /* a Store app's frame's host, else 0 */
  char focusedExecutable[SESSION_TEXT_SIZE];
  SessionReport *sessions;
  unsigned count;
  unsigned notShown;     /* beyond LISTED_SESSIONS_MAX */
  int complete;          /* every device and session answered */
  SessionsChosen chosen; /* how, where there is a focused process */
  /* Program<k> of the settings file as read; empty: no text. */
  char programs[SETTING_TEXT_SLOTS][SETTING_TEXT_SIZE];
};

/* ---- Portable part ----------------------------------------------------- */

/* `plughost sessions <plugin>`. */
int listAudioSessions(const char *path);
/* Its steps, over a SessionsListing. */
extern const ListingSteps SESSIONS_LISTING;
/* Finds the focused application (a Store app inside its frame) and marks
 * the sessions the plug-in's rule chooses for it (session_choice.h). */
void readSessionsListing(SessionsListing *listing, SessionReport *reports);
/* Reads each Program<k> text of the settings file and marks the sessions
 * it reaches by the plug-in's own rule (program_names.h): live, of a
 * process whose executable's file name in the snapshot is one of its
 * names, or the system sounds' where it names SystemSounds. */
void markProgramSlots(SessionsListing *listing, const char *settingsPath);
void printSessionsListing(FILE *out, const SessionsListing *listing);
/* After a command of the focused application (`plughost run`): one line
 * for each session its commands change now, with its volume and mute, as
 * the loaded plug-in's system has them. */
void printTakenSessions(FILE *out, void *plugin);

/* ---- Platform part ----------------------------------------------------- */

/* Makes the loaded plug-in's sessions readable; 0 with the reason when
 * they cannot be. */
int hostOpenSessions(void *plugin, char *reason, size_t reasonSize);
/* Every session of every active playback device, into reports (at most
 * max, the rest counted in *notShown), and a report for each device or
 * session that could not be read. 0 when there was one. */
int hostReadSessions(SessionReport *reports, unsigned max, unsigned *count,
                     unsigned *notShown);
void hostCloseSessions(void);

/* The foreground window, its process, its class, its next child window of
 * a class: 0 (or an empty class) where there is none. */
uintptr_t hostForegroundWindow(void);
uint32_t hostWindowProcess(uintptr_t window);
void hostWindowClass(uintptr_t window, char *name, size_t size);
uintptr_t hostNextChildWindow(uintptr_t parent, uintptr_t after,
                              const char *className);
/* A process's executable as UTF-8; 0 when it cannot be had. */
int hostProcessExecutable(uint32_t processId, char *path, size_t size);
/* What one snapshot of the processes, taken when first asked of after
 * hostOpenSessions, gives a process as the plug-in's does: its parent id
 * (0 where none) and its executable's file name, UTF-16 (0 and the empty
 * name where it is not listed). */
uint32_t hostParentProcess(uint32_t processId);
int hostProcessFile(uint32_t processId, uint16_t *file, size_t size);
/* When a process started, as the plug-in reads it; 0 where that cannot
 * be told. */
int hostProcessStarted(uint32_t processId, uint64_t *started);
/* The system's message for an HRESULT, one line of UTF-8; empty where
 * there is none. */
void hostErrorText(uint32_t error, char *text, size_t size);

#endif
