/*
 * `plughost sessions`: lists the audio sessions of the active playback
 * devices and marks those the focused application's commands change now,
 * and those each Program<k> text of the settings file reaches.
 */
#include "plughost/sessions.h"

#include <cstring>

#include "plughost/plughost.h"
#include "plugin/settings.h"
#include "program/program_names.h"

/* A Store app's frame belongs to ApplicationFrameHost; the app is the
 * process of a core window inside it that another process made. */
static void findFocusedProcess(SessionsListing *listing) {
  uintptr_t window = hostForegroundWindow();
  uint32_t process = window ? hostWindowProcess(window) : 0;
  char className[64] = "";
  if (process)
    hostWindowClass(window, className, sizeof className);
  listing->focusedProcess = process;
  if (!process || !sameText(className, "ApplicationFrameWindow"))
    return;
  uintptr_t child = 0;
  for (int k = 0; k < 64; k++) {
    child = hostNextChildWindow(window, child, "Windows.UI.Core.CoreWindow");
    uint32_t inside = child ? hostWindowProcess(child) : 0;
    if (!child || (inside && inside != process)) {
      listing->frameProcess = child ? process : 0;
      listing->focusedProcess = child ? inside : process;
      return;
    }
  }
}

/* ---- The facts the plug-in's rule asks, from the reports --------------- */

static const SessionReport *reportOf(void *context, uint32_t session) {
  return &((const SessionsListing *)context)->sessions[session];
}

static uint32_t reportProcess(void *context, uint32_t session) {
  return reportOf(context, session)->processId;
}

static int reportCounts(void *context, uint32_t session) {
  const SessionReport *report = reportOf(context, session);
  return report->kind == SESSION_READ && report->state != SESSION_EXPIRED &&
         !report->systemSounds;
}

static int reportPlays(void *context, uint32_t session) {
  return reportOf(context, session)->state == SESSION_ACTIVE;
}

static uint32_t parentOfProcess(void *, uint32_t process) {
  return hostParentProcess(process);
}

/* Its start, and whether it runs the focused process's executable. */
static int lookAtProcess(void *context, uint32_t process, uint64_t *started) {
  const SessionsListing *listing = (const SessionsListing *)context;
  char path[SESSION_TEXT_SIZE];
  int looks = hostProcessStarted(process, started) ? PROCESS_STARTED : 0;
  if (listing->focusedExecutable[0] &&
      hostProcessExecutable(process, path, sizeof path) &&
      sameText(path, listing->focusedExecutable))
    looks |= PROCESS_RUNS_ITS_FILE;
  return looks;
}

/* A helper by the plug-in's own rule (session_choice.h). */
static int reportIsHelper(void *context, uint32_t session) {
  const SessionsListing *listing = (const SessionsListing *)context;
  ProcessTree tree = {context, parentOfProcess, lookAtProcess};
  return helperOf(&tree, listing->sessions[session].processId,
                  listing->focusedProcess);
}

static void markTaken(void *context, uint32_t session) {
  ((SessionsListing *)context)->sessions[session].taken = 1;
}

/* The focused process's sessions, marked by the plug-in's own rule. */
static void markSessions(SessionsListing *listing) {
  SessionFacts facts = {};
  facts.context = listing;
  facts.count = listing->count;
  facts.focusedProcess = listing->focusedProcess;
  facts.process = reportProcess;
  facts.counts = reportCounts;
  facts.plays = reportPlays;
  facts.ofHelper = reportIsHelper;
  facts.choose = markTaken;
  listing->chosen = chooseAppSessions(&facts);
}

void readSessionsListing(SessionsListing *listing, SessionReport *reports) {
  listing->sessions = reports;
  listing->complete = hostReadSessions(reports, LISTED_SESSIONS_MAX,
                                       &listing->count, &listing->notShown);
  findFocusedProcess(listing);
  if (listing->focusedProcess &&
      !hostProcessExecutable(listing->focusedProcess,
                             listing->focusedExecutable,
                             sizeof listing->focusedExecutable))
    listing->focusedExecutable[0] = '\0';
  /* Without a window the commands return 0 before any session. */
  if (listing->focusedProcess)
    markSessions(listing);
}

/* ---- The sessions each Program text reaches ---------------------------- */

/* Live as the plug-in's program commands take it: read and not expired. */
static int sessionReachable(const SessionReport *session) {
  return session->kind == SESSION_READ && session->state != SESSION_EXPIRED;
}

/* The session's process named by the snapshot, as the plug-in names it:
 * by the file name alone, without opening the process. */
static int sessionNamed(const SessionReport *session,
                        const ProgramNames *names) {
  uint16_t file[SESSION_TEXT_SIZE];
  return hostProcessFile(session->processId, file, SESSION_TEXT_SIZE) &&
         namesFile(names, file);
}

void markProgramSlots(SessionsListing *listing, const char *settingsPath) {
  for (unsigned i = 0; i < listing->count; i++)
    listing->sessions[i].programs = 0;
  const SettingTextRow &row = SETTING_TEXT_ROWS[SETTING_TEXT_PROGRAM];
  for (uint32_t k = 0; k < SETTING_TEXT_SLOTS; k++) {
    char *text = listing->programs[k];
    readSettingText(settingsPath, row.section, row.key, k, text);
    if (text[0] == '\0')
      continue;
    ProgramNames names;
    readProgramNames(text, &names);
    for (unsigned i = 0; i < listing->count; i++) {
      SessionReport *session = &listing->sessions[i];
      if (sessionReachable(session) &&
          programReaches(&names, sessionNamed(session, &names),
                         session->systemSounds))
        session->programs |= 1u << k;
    }
  }
}

/* ---- Printing ------------------------------------------------------------ */

static const char *stateText(int32_t state) {
  static const char *const NAMES[] = {"inactive", "active", "expired"};
  return state >= 0 && state <= 2 ? NAMES[state] : "unknown";
}

/* The device or session that could not be read, and why. */
static void printUnread(FILE *out, const SessionReport *report) {
  char message[SESSION_TEXT_SIZE];
  hostErrorText(report->error, message, sizeof message);
  if (report->device == NO_DEVICE)
    fputs("   (the playback devices cannot be listed:", out);
  else if (report->kind == DEVICE_UNREAD)
    fprintf(out, "   %3u  (%s%s%sits sessions cannot be listed:",
            (unsigned)report->device, report->displayName[0] ? "\"" : "",
            report->displayName, report->displayName[0] ? "\": " : "");
  else
    fprintf(out, "   %3u  (session %d of the device cannot be read:",
            (unsigned)report->device, (int)report->position + 1);
  fprintf(out, " 0x%08X%s%s)\n", (unsigned)report->error, message[0] ? " " : "",
          message);
}

/* A session's volume as a percent, or "?" where it could not be read. */
static void volumeText(const SessionReport *session, char *text, size_t size) {
  uint32_t percent = 0;
  if (session->volumeKnown && percentOfScalar(session->volume, &percent))
    snprintf(text, size, "%u%%", (unsigned)percent);
  else
    snprintf(text, size, "?");
}

static const char *muteText(const SessionReport *session) {
  return session->volumeKnown ? (session->muted ? "on" : "off") : "?";
}

static void printSession(FILE *out, const SessionReport *session) {
  if (session->kind != SESSION_READ) {
    printUnread(out, session);
    return;
  }
  char volume[16];
  volumeText(session, volume, sizeof volume);
  fprintf(out, "%c  %3u  %7u  %-8s  %6s  %-4s  %s%s%s%s",
          session->taken ? '*' : ' ', (unsigned)session->device,
          (unsigned)session->processId,
          session->systemSounds ? "system" : stateText(session->state), volume,
          muteText(session), session->executable[0] ? session->executable : "-",
          session->displayName[0] ? "  \"" : "", session->displayName,
          session->displayName[0] ? "\"" : "");
  for (uint32_t k = 0; k < SETTING_TEXT_SLOTS; k++)
    if (session->programs & (1u << k))
      fprintf(out, "  Program%u", (unsigned)k);
  fputc('\n', out);
}

/* Each Program text that reaches no session, and why it may not. */
static void printProgramNotes(FILE *out, const SessionsListing *listing) {
  unsigned reached = 0, texts = 0;
  for (unsigned i = 0; i < listing->count; i++)
    reached |= listing->sessions[i].programs;
  for (uint32_t k = 0; k < SETTING_TEXT_SLOTS; k++) {
    if (listing->programs[k][0] == '\0')
      continue;
    texts++;
    if (reached & (1u << k))
      continue;
    fprintf(out, "\nProgram%u=", (unsigned)k);
    writeCodePageText(out, listing->programs[k]);
    fputs(" reaches no session: no process of those executables' file "
          "names\n(\".exe\" optional, any case, \"|\" between names) has a "
          "live session here; a program\nhas a session once it has played.\n",
          out);
  }
  if (texts)
    fputs("\nProgram<k>: a session that text of the settings file reaches, "
          "which\nProgramSet(k), ProgramMute(k) and the like change, "
          "whatever has the focus.\n",
          out);
}

/* Why the commands reach what they reach, or nothing. */
static void printFocusNote(FILE *out, const SessionsListing *listing,
                           unsigned taken) {
  if (!listing->focusedProcess) {
    fputs("\nNo window is in the foreground: the focused application's "
          "commands return 0.\n",
          out);
    return;
  }
  if (!taken)
    fprintf(out,
            "\nProcess %u has no session, nor has any of its helpers "
            "(processes of its\nexecutable that descend from it): the "
            "focused application's commands return 0\n(a program has a "
            "session once it has played).\n",
            (unsigned)listing->focusedProcess);
  else if (listing->chosen == CHOSEN_HELPERS)
    fprintf(out,
            "\nProcess %u has no session of its own: the commands change "
            "those of its\nhelpers, the processes of its executable that "
            "descend from it.\n",
            (unsigned)listing->focusedProcess);
  else if (listing->chosen == CHOSEN_OWN_AND_HELPERS)
    fprintf(out,
            "\nNo session of process %u plays, and one of its helpers "
            "(a process of its\nexecutable that descends from it) does: the "
            "commands change the sessions of\nboth.\n",
            (unsigned)listing->focusedProcess);
  if (!listing->complete)
    fputs(taken ? "What could not be read (above) does not fail the "
                  "commands: they change what is\nmarked.\n"
                : "What could not be read (above) may hold its sessions.\n",
          out);
}

void printSessionsListing(FILE *out, const SessionsListing *listing) {
  if (listing->frameProcess)
    fprintf(out,
            "foreground        process %u, a Store app in the frame of "
            "process %u\n",
            (unsigned)listing->focusedProcess, (unsigned)listing->frameProcess);
  else if (listing->focusedProcess)
    fprintf(out, "foreground        process %u\n",
            (unsigned)listing->focusedProcess);
  else
    fputs("foreground        no window\n", out);
  fprintf(out, "executable        %s\n\n",
          listing->focusedExecutable[0] ? listing->focusedExecutable : "-");
  fputs("   dev  process  state     volume  mute  executable  \"name\"\n", out);
  unsigned taken = 0;
  for (unsigned i = 0; i < listing->count; i++) {
    printSession(out, &listing->sessions[i]);
    taken += listing->sessions[i].taken;
  }
  if (listing->count == 0)
    fputs("   (no audio session)\n", out);
  if (listing->notShown)
    fprintf(out, "   ... and %u more sessions, not shown\n", listing->notShown);
  printFocusNote(out, listing, taken);
  printProgramNotes(out, listing);
  fputs("\n* a session the focused application's commands change now. "
        "Expired sessions and\nthe system sounds' never change.\n",
        out);
}

/* The file name of an executable's path (either separator). */
static const char *fileName(const char *path) {
  const char *name = path;
  for (const char *at = path; *at; at++)
    if (*at == '\\' || *at == '/')
      name = at + 1;
  return name;
}

void printTakenSessions(FILE *out, void *plugin) {
  char reason[512] = "";
  if (!hostOpenSessions(plugin, reason, sizeof reason)) {
    fprintf(out, "  session -  (%s)\n", reason);
    return;
  }
  static SessionReport reports[LISTED_SESSIONS_MAX];
  SessionsListing listing = {};
  readSessionsListing(&listing, reports);
  hostCloseSessions();
  unsigned taken = 0;
  for (unsigned i = 0; i < listing.count; i++) {
    if (!reports[i].taken)
      continue;
    char volume[16];
    volumeText(&reports[i], volume, sizeof volume);
    fprintf(out, "  session %s  process %u  volume %s  mute %s\n",
            reports[i].executable[0] ? fileName(reports[i].executable) : "-",
            (unsigned)reports[i].processId, volume, muteText(&reports[i]));
    taken++;
  }
  if (!taken)
    fputs("  session: none that the focused application's commands change\n",
          out);
}

/* ---- The listing's steps ------------------------------------------------ */

/* The settings file of the plug-in listed, whose texts name programs. */
static char settingsPath[4096];

static int openSessions(void *plugin, const char *path, void *, char *reason,
                        size_t reasonSize) {
  if (!hostSettingsPath(plugin, path, settingsPath, sizeof settingsPath))
    settingsPath[0] = '\0';
  return hostOpenSessions(plugin, reason, reasonSize);
}

static void readSessions(void *listing) {
  static SessionReport reports[LISTED_SESSIONS_MAX];
  readSessionsListing((SessionsListing *)listing, reports);
  markProgramSlots((SessionsListing *)listing, settingsPath);
}

static void printSessions(FILE *out, const void *listing) {
  printSessionsListing(out, (const SessionsListing *)listing);
}

const ListingSteps SESSIONS_LISTING = {"no audio sessions to list",
                                       openSessions, readSessions,
                                       hostCloseSessions, printSessions};

int listAudioSessions(const char *path) {
  SessionsListing listing = {};
  return printListing(path, &SESSIONS_LISTING, &listing);
}
