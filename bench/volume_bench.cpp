/*
 * Figures for the plug-in over the sim, printed as a table:
 *
 *   volume_bench [PATH-OF-volume.dll]
 *
 * 1. mixer operations per command, in steady state and for the first one;
 * 2. heap allocations per KSTEvent_Execute;
 * 3. nanoseconds per command;
 * 4. the cost of one KSTEvent_InitPluginInfo + KSTEvent_FreePluginInfo pair,
 *    with an empty and with a full command table;
 * 5. the size of the Windows library, when its path is given;
 * 6. COM calls, heap allocations and time per command on the endpoint
 *    path (VolEndpoint=1), the microphone's, the device switches' and a
 *    named device's, over the sim's Core Audio;
 * 7. the same for the focused application's commands with 1, 10 and 50
 *    audio sessions present, and the processes each one opens;
 * 8. the time per command without and with the on-screen display
 *    (Osd=1), and the frames it is handed per command;
 * 9. a program by name's ProgramSet with 1, 16 and 64 audio sessions
 *    present: COM calls, the snapshots taken (one) and the processes
 *    walked and opened (none), heap allocations and time per command.
 *
 * Nothing here passes or fails: the expected figures are printed beside the
 * measured ones for a reader to compare.
 */
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mixer/mixer.h"
#include "plugin/plugin.h"
#include "sim/sim.h"

enum {
  STEADY_COMMANDS = 10000,   /* commands counted for the per-command costs */
  TIMED_COMMANDS = 1000000,  /* commands per timed repetition */
  TIMED_INFO_PAIRS = 1000,   /* record pairs per timed repetition */
  REPETITIONS = 5,           /* timed repetitions; the median is reported */
  DLL_SIZE_GOAL = 52 * 1024, /* bytes */
  PATH_SIZE = 256
};

/* ---- Counting the settings file's opens ------------------------------- */

/* The link wraps fopen (see bench/CMakeLists.txt): the profile reader opens
 * the settings file once per key it reads. */
static unsigned long fileOpens;

extern "C" FILE *__real_fopen(const char *path, const char *mode);
extern "C" FILE *__wrap_fopen(const char *path, const char *mode) {
  fileOpens++;
  return __real_fopen(path, mode);
}

/* ---- The plug-in's environment ---------------------------------------- */

/* The host's name for the library, as handed to KSTEvent_InitPluginInfo. */
static const char HOST_FILE_NAME[] = "volume.dll";

static char temporaryFolder[64];              /* the mkdtemp template below */
static char moduleWithoutSettings[PATH_SIZE]; /* no .ini beside it */
static char moduleWithSettings[PATH_SIZE];    /* a full volume.ini */
static char settingsFile[PATH_SIZE];

/* Every slot valid: ten steps and ten levels, 31 commands with mute. */
static int writeFullSettings(const char *path) {
  FILE *file = fopen(path, "w");
  if (!file)
    return 0;
  fprintf(file, "[Command]\n");
  for (int k = 0; k < 10; k++)
    fprintf(file, "UpDown%d=%d\n", k, k + 1);
  for (int k = 0; k < 10; k++)
    fprintf(file, "Set%d=%d\n", k, k * 10);
  return fclose(file) == 0;
}

static int prepareSettingsFolder(void) {
  strcpy(temporaryFolder, "/tmp/volume-bench-XXXXXX");
  if (!mkdtemp(temporaryFolder))
    return 0;
  snprintf(moduleWithoutSettings, PATH_SIZE, "%s/absent.dll", temporaryFolder);
  snprintf(moduleWithSettings, PATH_SIZE, "%s/volume.dll", temporaryFolder);
  snprintf(settingsFile, PATH_SIZE, "%s/volume.ini", temporaryFolder);
  return writeFullSettings(settingsFile);
}

static void removeSettingsFolder(void) {
  unlink(settingsFile);
  rmdir(temporaryFolder);
}

/* The library as the host finds it just after loading it: mixer closed,
 * nothing discovered, the default device and taskbar, start-up settings
 * read (none, so the volume commands use the speakers line). */
static void loadPlugin(void) {
  releaseMixer();
  simMixerReset();
  simWindowsReset();
  simSetModuleFileName(moduleWithoutSettings);
  KSTEvent_Init(HOST_FILE_NAME, 0);
}

/* ---- Platform operations per command ---------------------------------- */

struct CommandKind {
  const char *label;
  int32_t commandId;
  unsigned reads;  /* expected per command once the mixer is open */
  unsigned writes; /* likewise */
};

static const CommandKind KINDS[] = {{"set 50 (3050)", 3050, 1, 1},
                                    {"step up 5 (1005)", 1005, 2, 1},
                                    {"step down 5 (2005)", 2005, 2, 1},
                                    {"mute (1)", 1, 1, 1},
                                    {"outside (7500)", 7500, 0, 0}};
enum { KIND_COUNT = sizeof KINDS / sizeof KINDS[0], OUTSIDE = KIND_COUNT - 1 };

/* Mixer operations by kind, then window look-ups and sends. */
enum { WINDOW_COLUMN = SIM_MIXER_OPS, COST_COLUMNS };

struct Costs {
  double column[COST_COLUMNS];
};

static Costs countsNow(void) {
  Costs now;
  for (int op = 0; op < SIM_MIXER_OPS; op++)
    now.column[op] = simMixerCalls((SimMixerOp)op);
  now.column[WINDOW_COLUMN] = simWindowCalls();
  return now;
}

/* What `count` runs of a command cost, per run. */
static Costs measureCosts(int32_t commandId, long count) {
  Costs before = countsNow();
  for (long i = 0; i < count; i++)
    KSTEvent_Execute(commandId, 0);
  Costs after = countsNow();
  for (int c = 0; c < COST_COLUMNS; c++)
    after.column[c] = (after.column[c] - before.column[c]) / (double)count;
  return after;
}

/* A successful command ends with three window look-ups and one send. */
static Costs expectedCosts(const CommandKind &kind, int first) {
  int runs = kind.commandId != KINDS[OUTSIDE].commandId;
  int discovers = first && runs;
  Costs expected = {{(double)discovers, (double)discovers, (double)discovers,
                     (double)discovers, (double)kind.reads, (double)kind.writes,
                     0.0, runs * 4.0}};
  return expected;
}

static void printCostHeader(void) {
  printf("  %-24s %-9s %-9s %-9s %-9s %-9s %-9s %-9s %s\n", "command", "open",
         "caps", "line", "control", "read", "write", "close", "windows");
}

static void printCostRow(const char *label, const Costs &measured,
                         const Costs &expected) {
  printf("  %-24s", label);
  for (int c = 0; c < COST_COLUMNS; c++) {
    char cell[32];
    snprintf(cell, sizeof cell, "%.2f/%g", measured.column[c],
             expected.column[c]);
    printf(c + 1 < COST_COLUMNS ? " %-9s" : " %s", cell);
  }
  printf("\n");
}

static void reportSteadyCosts(void) {
  printf("1. Platform operations per command, measured/expected"
         " (mean of %d commands after the first)\n",
         STEADY_COMMANDS);
  printCostHeader();
  for (const CommandKind &kind : KINDS) {
    loadPlugin();
    KSTEvent_Execute(kind.commandId, 0);
    printCostRow(kind.label, measureCosts(kind.commandId, STEADY_COMMANDS),
                 expectedCosts(kind, 0));
  }
}

static void reportFirstCosts(void) {
  printf("\n   The first command after loading, measured/expected\n");
  printCostHeader();
  for (const CommandKind &kind : KINDS) {
    loadPlugin();
    printCostRow(kind.label, measureCosts(kind.commandId, 1),
                 expectedCosts(kind, 1));
  }
  /* Mute has a control of its own (on the speakers line), found on its
   * first use even when a volume command has opened the mixer already. */
  loadPlugin();
  KSTEvent_Execute(KINDS[0].commandId, 0);
  Costs expected = {{0, 0, 1, 1, 1, 1, 0, 4}};
  printCostRow("first mute after a set", measureCosts(1, 1), expected);
}

/* ---- Heap allocations per command ------------------------------------- */

static double allocationsPerCommand(int32_t commandId, long count) {
  unsigned long before = simHeapAllocations();
  for (long i = 0; i < count; i++)
    KSTEvent_Execute(commandId, 0);
  return (double)(simHeapAllocations() - before) / (double)count;
}

static void reportAllocations(void) {
  printf("\n2. Heap allocations per KSTEvent_Execute (goal 0)\n");
  printf("  %-24s %-12s %s\n", "command", "first", "steady");
  for (const CommandKind &kind : KINDS) {
    loadPlugin();
    double first = allocationsPerCommand(kind.commandId, 1);
    double steady = allocationsPerCommand(kind.commandId, STEADY_COMMANDS);
    printf("  %-24s %-12.2f %.2f\n", kind.label, first, steady);
  }
}

/* ---- Time ------------------------------------------------------------- */

typedef void (*Workload)(long iterations, int32_t argument);

static volatile int32_t resultSink;

static void executeRepeatedly(long iterations, int32_t commandId) {
  int32_t results = 0;
  for (long i = 0; i < iterations; i++)
    results += KSTEvent_Execute(commandId, 0);
  resultSink = results;
}

static void initAndFreeRepeatedly(long iterations, int32_t) {
  for (long i = 0; i < iterations; i++)
    KSTEvent_FreePluginInfo(KSTEvent_InitPluginInfo(HOST_FILE_NAME));
}

/* The median over the repetitions damps the noise of a shared machine. */
static double medianNanoseconds(Workload work, int32_t argument,
                                long iterations) {
  double samples[REPETITIONS];
  for (int r = 0; r < REPETITIONS; r++) {
    auto start = std::chrono::steady_clock::now();
    work(iterations, argument);
    std::chrono::duration<double, std::nano> elapsed =
        std::chrono::steady_clock::now() - start;
    samples[r] = elapsed.count() / (double)iterations;
  }
  std::sort(samples, samples + REPETITIONS);
  return samples[REPETITIONS / 2];
}

static void reportCommandTimes(void) {
  printf("\n3. Time per command (median of %d runs of %d commands)\n",
         REPETITIONS, TIMED_COMMANDS);
  printf("  %-24s %s\n", "command", "ns");
  for (const CommandKind &kind : KINDS) {
    loadPlugin();
    KSTEvent_Execute(kind.commandId, 0);
    printf(
        "  %-24s %.1f\n", kind.label,
        medianNanoseconds(executeRepeatedly, kind.commandId, TIMED_COMMANDS));
  }
}

/* ---- The plug-in record ----------------------------------------------- */

struct InfoPairFigures {
  unsigned commands;
  unsigned long allocations;
  long liveAfterFree;
  unsigned long fileOpens;
  double microseconds;
};

static InfoPairFigures measureInfoPair(const char *moduleName) {
  simSetModuleFileName(moduleName);
  InfoPairFigures figures;
  unsigned long allocationsBefore = simHeapAllocations();
  long liveBefore = simHeapLiveBlocks();
  unsigned long opensBefore = fileOpens;
  PluginInfo *info = KSTEvent_InitPluginInfo(HOST_FILE_NAME);
  figures.commands = info ? info->commandCount : 0;
  KSTEvent_FreePluginInfo(info);
  figures.fileOpens = fileOpens - opensBefore;
  figures.allocations = simHeapAllocations() - allocationsBefore;
  figures.liveAfterFree = simHeapLiveBlocks() - liveBefore;
  figures.microseconds =
      medianNanoseconds(initAndFreeRepeatedly, 0, TIMED_INFO_PAIRS) / 1000.0;
  return figures;
}

static void printInfoPairRow(const char *label, const InfoPairFigures &f) {
  /* The record, its two strings, the table, and two strings per command. */
  unsigned expectedBlocks = 1 + 2 + 1 + 2 * f.commands;
  char blocks[32];
  snprintf(blocks, sizeof blocks, "%lu/%u", f.allocations, expectedBlocks);
  printf("  %-14s %-9u %-14s %-12ld %-12lu %.1f\n", label, f.commands, blocks,
         f.liveAfterFree, f.fileOpens, f.microseconds);
}

static unsigned long fileOpensOfInit(void) {
  simSetModuleFileName(moduleWithSettings);
  unsigned long before = fileOpens;
  KSTEvent_Init(HOST_FILE_NAME, 0);
  return fileOpens - before;
}

static void reportInfoPairs(void) {
  printf("\n4. One KSTEvent_InitPluginInfo + KSTEvent_FreePluginInfo pair\n");
  printf("  %-14s %-9s %-14s %-12s %-12s %s\n", "table", "commands",
         "blocks/expect", "live after", "file opens", "us per pair");
  InfoPairFigures empty = measureInfoPair(moduleWithoutSettings);
  InfoPairFigures full = measureInfoPair(moduleWithSettings);
  printInfoPairRow("empty", empty);
  printInfoPairRow("full", full);
  /* The profile reader opens and scans the whole file for every key, and
   * tries to open it even when it is missing. */
  unsigned long initOpens = fileOpensOfInit();
  printf("  The settings file is read key by key: %lu opens per record"
         " (UpDown0..9, Set0..9,\n  AppUpDown0..9, AppSet0..9 and five switch"
         " keys), plus %lu for KSTEvent_Init: %lu\n  reads of the file at"
         " start-up.\n",
         full.fileOpens, initOpens, full.fileOpens + initOpens);
}

/* ---- The Core Audio paths -------------------------------------------- */

/* COM calls of one Core Audio command, in the order the sim counts
 * them, and what each command is expected to cost. An endpoint command is
 * one session (enter COM, enumerator, default device, its volume, three
 * releases, leave); a mute looks at the endpoint a second time to confirm
 * it; UnmuteOnChange adds a look at the mute. A device switch lists the
 * active devices once (their ids; names only by name), looks at the
 * console and communications defaults (a device that is the console
 * default already: at multimedia too), writes each role that moves and
 * looks at the console default once more. A microphone toggle looks
 * up both recording defaults, compares their ids, reads the console
 * default's mute (which then needs no second read) and brings each device
 * to the new state, confirmed; a microphone level is the same look-up,
 * one write to each device and no mute. A switch looks at the console
 * default after its writes through an enumerator of its own (one more
 * creation and release), once where the new default shows at once. A
 * named device's level is one enumeration of its direction, each device
 * until the named one opened and named once, and the write to that one
 * device alone: no default, no id. */
struct EndpointKind {
  const char *label;
  const char *settings;
  int recordingDevices; /* 0, or the microphones: 1 or 2 */
  int playbackDevices;  /* active playback devices, 1 to 3 */
  int32_t commandId;
  unsigned expected[SIM_ENDPOINT_OPS];
};

static const char ENDPOINT_ON[] = "[Setting]\nVolEndpoint=1\n";
static const char UNMUTE_ON[] = "[Setting]\nVolEndpoint=1\nUnmuteOnChange=1\n";
static const char BY_NAME[] = "[Command]\nOutput0=speakers 5\n";
static const char NAMED_SET[] =
    "[Command]\nOutput0=speakers 5\nOutputSet0=50\n";

static const EndpointKind ENDPOINT_KINDS[] = {
    {"set 50 (3050)",
     ENDPOINT_ON,
     0,
     1,
     3050,
     {1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 3, 1}},
    {"step up 5 (1005)",
     ENDPOINT_ON,
     0,
     1,
     1005,
     {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 3, 1}},
    {"mute (1)",
     ENDPOINT_ON,
     0,
     1,
     1,
     {2, 2, 2, 2, 0, 0, 2, 1, 0, 0, 0, 0, 6, 2}},
    {"set, unmute on",
     UNMUTE_ON,
     0,
     1,
     3050,
     {1, 1, 1, 1, 0, 1, 1, 0, 0, 0, 0, 0, 3, 1}},
    {"step, unmute on",
     UNMUTE_ON,
     0,
     1,
     1005,
     {1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 3, 1}},
    {"mic toggle, 1 dev",
     ENDPOINT_ON,
     1,
     1,
     11,
     {1, 1, 2, 2, 0, 0, 2, 1, 0, 0, 0, 2, 5, 1}},
    {"mic toggle, 2 dev",
     ENDPOINT_ON,
     2,
     1,
     11,
     {1, 1, 2, 4, 0, 0, 4, 2, 0, 0, 0, 2, 7, 1}},
    {"mic set, 1 dev",
     ENDPOINT_ON,
     1,
     1,
     10050,
     {1, 1, 2, 1, 0, 1, 0, 0, 0, 0, 0, 2, 4, 1}},
    {"mic set, 2 dev",
     ENDPOINT_ON,
     2,
     1,
     10050,
     {1, 1, 2, 2, 0, 2, 0, 0, 0, 0, 0, 2, 5, 1}},
    {"next output",
     ENDPOINT_ON,
     0,
     3,
     31,
     {1, 2, 3, 0, 0, 0, 0, 0, 1, 1, 3, 6, 10, 1, 0, 0, 1, 3}},
    {"by name, there",
     BY_NAME,
     0,
     3,
     7000,
     {1, 1, 3, 0, 0, 0, 0, 0, 1, 1, 3, 6, 11, 1, 3, 3, 0, 0}},
    {"named set, 3rd dev",
     NAMED_SET,
     0,
     3,
     11200,
     {1, 1, 0, 1, 0, 1, 0, 0, 1, 1, 3, 0, 9, 1, 3, 3, 0, 0}}};

/* Recording devices 1 and 2; the communications default is the second
 * one only where there are two. */
static void shapeMicrophones(int devices) {
  simEndpointSetKind(1, AUDIO_CAPTURE, 1);
  simEndpointSetKind(2, AUDIO_CAPTURE, 1);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_CONSOLE, 1);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_COMMUNICATIONS,
                           devices == 2 ? 2 : 1);
}

static int loadEndpointPlugin(const EndpointKind &kind, const char *module,
                              const char *settings) {
  FILE *file = fopen(settings, "w");
  if (!file || fputs(kind.settings, file) < 0 || fclose(file) != 0)
    return 0;
  loadPlugin();
  simEndpointReset();
  if (kind.recordingDevices)
    shapeMicrophones(kind.recordingDevices);
  for (int i = 1; i < kind.playbackDevices; i++)
    simEndpointSetKind(3 + i, AUDIO_RENDER, 1);
  simSetModuleFileName(module);
  KSTEvent_Init(HOST_FILE_NAME, 0);
  return 1;
}

static void printEndpointRow(const EndpointKind &kind, long count) {
  unsigned before[SIM_ENDPOINT_OPS];
  for (int op = 0; op < SIM_ENDPOINT_OPS; op++)
    before[op] = simEndpointCalls((SimEndpointOp)op);
  unsigned long allocations = simHeapAllocations();
  for (long i = 0; i < count; i++)
    KSTEvent_Execute(kind.commandId, 0);
  printf("  %-18s", kind.label);
  for (int op = 0; op < SIM_ENDPOINT_OPS; op++) {
    char cell[32];
    snprintf(cell, sizeof cell, "%.2f/%u",
             (simEndpointCalls((SimEndpointOp)op) - before[op]) / (double)count,
             kind.expected[op]);
    printf(" %-8s", cell);
  }
  printf(" %.2f\n", (simHeapAllocations() - allocations) / (double)count);
}

static void reportEndpointPath(void) {
  char module[PATH_SIZE], settings[PATH_SIZE];
  snprintf(module, PATH_SIZE, "%s/endpoint.dll", temporaryFolder);
  snprintf(settings, PATH_SIZE, "%s/endpoint.ini", temporaryFolder);
  printf("\n6. The Core Audio paths (VolEndpoint=1, UnmuteOnChange=1, the"
         " microphone, the\n   switches, a named device): COM calls per"
         " command, measured/expected (mean\n   of %d commands), and heap"
         " allocations per command (goal 0)\n",
         STEADY_COMMANDS);
  static const char *const HEADINGS[] = {
      "CoInit",  "create",   "default", "activate", "getVol", "setVol",
      "getMute", "setMute",  "enum",    "count",    "item",   "getId",
      "release", "CoUninit", "props",   "name",     "policy", "setDef"};
  static_assert(sizeof HEADINGS / sizeof HEADINGS[0] == SIM_ENDPOINT_OPS,
                "a heading for every counted call");
  printf("  %-18s", "command");
  for (const char *heading : HEADINGS)
    printf(" %-8s", heading);
  printf(" heap\n");
  for (const EndpointKind &kind : ENDPOINT_KINDS)
    if (loadEndpointPlugin(kind, module, settings))
      printEndpointRow(kind, STEADY_COMMANDS);
  printf("  %-24s %s\n", "command", "ns");
  for (const EndpointKind &kind : ENDPOINT_KINDS)
    if (loadEndpointPlugin(kind, module, settings))
      printf(
          "  %-24s %.1f\n", kind.label,
          medianNanoseconds(executeRepeatedly, kind.commandId, TIMED_COMMANDS));
  unlink(settings);
  simSetModuleFileName(moduleWithoutSettings);
}

/* ---- The focused application ------------------------------------------ */

enum { APP = 100, APP_HELPER = 101, OTHER_PROGRAMS = 10, APP_COMMANDS = 20000 };

/* sessions sessions over two playback devices, the others' spread over
 * ten programs; the last one found is the application's own or, byFile,
 * its helper's (which makes every session's program be looked at). With
 * byFile 2 the first one is an idle one of the application's own, which
 * the helper's rule looks past. */
static void shapeAppSessions(int sessions, int byFile) {
  simEndpointReset();
  simFocusReset();
  simEndpointSetKind(1, AUDIO_RENDER, 1);
  simProcessAdd(APP, "C:\\Programs\\app.exe");
  simProcessAdd(APP_HELPER, "C:\\Programs\\app.exe");
  for (int p = 0; p < OTHER_PROGRAMS; p++)
    simProcessAdd(200 + p, "C:\\Programs\\other.exe");
  simSetForegroundWindow(simAppWindowAdd(0, "AppWindow", APP));
  for (int i = 0; i < sessions; i++) {
    uint32_t process = i + 1 < sessions ? 200 + i % OTHER_PROGRAMS
                       : byFile         ? APP_HELPER
                                        : APP;
    SimSession *session = simSessionAdd(i * 2 >= sessions, process);
    session->scalar = 0.5f;
    if (byFile == 2 && i == 0 && sessions > 1) {
      session->processId = APP;
      session->state = AUDIO_SESSION_INACTIVE;
    }
  }
}

static unsigned comCallsNow(void) {
  unsigned calls = 0;
  for (int op = 0; op < SIM_ENDPOINT_OPS; op++)
    calls += simEndpointCalls((SimEndpointOp)op);
  for (int op = 0; op < SIM_SESSION_OPS; op++)
    calls += simSessionCalls((SimSessionOp)op);
  return calls;
}

struct AppKind {
  const char *label;
  int32_t commandId;
  int byFile;
};

static const AppKind APP_KINDS[] = {{"set 50 (6050)", 6050, 0},
                                    {"step up 5 (4005)", 4005, 0},
                                    {"mute (21)", 21, 0},
                                    {"set 50, by file", 6050, 1},
                                    {"set 50, own idle", 6050, 2}};

static void printAppRow(const AppKind &kind, int sessions) {
  shapeAppSessions(sessions, kind.byFile);
  unsigned calls = comCallsNow();
  unsigned opens = simFocusCalls(SIM_PROCESS_OPEN);
  unsigned long allocations = simHeapAllocations();
  int32_t result = KSTEvent_Execute(kind.commandId, 0);
  char expected[16] = "";
  /* An own session: 26 calls around the devices, 5 per session (listed,
   * queried, its process asked, its two interfaces released). */
  if (!kind.byFile && kind.commandId == 6050)
    snprintf(expected, sizeof expected, "/%d", 26 + 5 * sessions);
  char callsCell[24];
  snprintf(callsCell, sizeof callsCell, "%u%s", comCallsNow() - calls,
           expected);
  opens = simFocusCalls(SIM_PROCESS_OPEN) - opens;
  allocations = simHeapAllocations() - allocations;
  printf("  %-18s %-9d %-7d %-10s %-7u %-6lu %.0f\n", kind.label, sessions,
         result, callsCell, opens, allocations,
         medianNanoseconds(executeRepeatedly, kind.commandId, APP_COMMANDS));
}

static void reportFocusedApp(void) {
  printf("\n7. The focused application: per command, its result, COM calls"
         " (measured/expected),\n   processes opened, heap allocations, and"
         " time (median of %d runs of %d)\n",
         REPETITIONS, APP_COMMANDS);
  printf("  %-18s %-9s %-7s %-10s %-7s %-6s %s\n", "command", "sessions",
         "result", "COM calls", "opens", "heap", "ns");
  loadPlugin();
  for (const AppKind &kind : APP_KINDS)
    for (int sessions : {1, 10, 50})
      printAppRow(kind, sessions);
  simFocusReset();
  simEndpointReset();
}

/* ---- The on-screen display -------------------------------------------- */

static void timeWithSettings(const char *label, int32_t commandId,
                             const char *text, const char *module,
                             const char *settings) {
  FILE *file = fopen(settings, "w");
  if (!file || fputs(text, file) < 0 || fclose(file) != 0)
    return;
  loadPlugin();
  simDisplayReset();
  simSetModuleFileName(module);
  KSTEvent_Init(HOST_FILE_NAME, 0);
  unsigned frames = simDisplayFrames();
  double nanoseconds =
      medianNanoseconds(executeRepeatedly, commandId, TIMED_COMMANDS);
  printf("  %-18s %-8s %-8.1f %.2f\n", label, text[0] ? "Osd=1" : "none",
         nanoseconds,
         (simDisplayFrames() - frames) /
             (double)(REPETITIONS * TIMED_COMMANDS));
}

/* The plug-in's own part of the display: the view, handed to the sim's
 * display, which lays it out and writes its text at once. On Windows the
 * host's thread only copies the view under a critical section and posts
 * a message at most once per drawing; the monitor, the layout and the
 * drawing are the display thread's (wine_bench times that). */
static void reportDisplay(void) {
  char module[PATH_SIZE], settings[PATH_SIZE];
  snprintf(module, PATH_SIZE, "%s/display.dll", temporaryFolder);
  snprintf(settings, PATH_SIZE, "%s/display.ini", temporaryFolder);
  printf("\n8. The on-screen display: time per command without and with it"
         " (median of %d runs\n   of %d commands), frames shown per"
         " command\n",
         REPETITIONS, TIMED_COMMANDS);
  printf("  %-18s %-8s %-8s %s\n", "command", "display", "ns", "frames");
  for (int k : {0, 1, 3}) /* set, step up, mute */
    for (const char *text : {"", "[Setting]\nOsd=1\n"})
      timeWithSettings(KINDS[k].label, KINDS[k].commandId, text, module,
                       settings);
  unlink(settings);
  simSetModuleFileName(moduleWithoutSettings);
}

/* ---- A program by name ----------------------------------------------- */

enum {
  PLAYER = 300,           /* the named program's process */
  RUNNING_PROCESSES = 96, /* the snapshot's, the player among the last */
  PROGRAM_COMMANDS = 20000
};

static const char PROGRAM_SET[] =
    "[Command]\nProgram0=player|chat.exe\nProgramSet0=50\n";

/* sessions sessions over two playback devices, every fourth (the first
 * among them) the player's, the others spread over ten other programs;
 * the snapshot walked to its end to name them. */
static void shapeProgramSessions(int sessions) {
  simEndpointReset();
  simFocusReset();
  simEndpointSetKind(1, AUDIO_RENDER, 1);
  for (int p = 0; p < RUNNING_PROCESSES - 1; p++)
    simProcessAdd(200 + p, "C:\\Windows\\svchost.exe")->parentId = 4;
  simProcessAdd(PLAYER, "C:\\Programs\\Player.exe")->parentId = 200;
  for (int i = 0; i < sessions; i++) {
    uint32_t process = i % 4 == 0 ? PLAYER : 200 + i % OTHER_PROGRAMS;
    simSessionAdd(i * 2 >= sessions, process)->scalar = 0.5f;
  }
}

static void printProgramRow(int32_t commandId, int sessions) {
  shapeProgramSessions(sessions);
  unsigned calls = comCallsNow();
  unsigned snapshots = simFocusCalls(SIM_PROCESS_SNAPSHOT);
  unsigned walked = simFocusCalls(SIM_PROCESS_WALK);
  unsigned opens = simFocusCalls(SIM_PROCESS_OPEN);
  unsigned long allocations = simHeapAllocations();
  int32_t result = KSTEvent_Execute(commandId, 0);
  /* 21 calls around the two devices, 5 per session listed (listed,
   * queried, its process asked, its two interfaces released) and 5 per
   * session of the player (its state, whether it is the system sounds',
   * its volume queried, set and released). */
  int named = (sessions + 3) / 4;
  char callsCell[24];
  snprintf(callsCell, sizeof callsCell, "%u/%d", comCallsNow() - calls,
           21 + 5 * sessions + 5 * named);
  snapshots = simFocusCalls(SIM_PROCESS_SNAPSHOT) - snapshots;
  walked = simFocusCalls(SIM_PROCESS_WALK) - walked;
  opens = simFocusCalls(SIM_PROCESS_OPEN) - opens;
  allocations = simHeapAllocations() - allocations;
  printf("  %-9d %-6d %-7d %-10s %-10u %-6u %-7u %-6lu %.0f\n", sessions, named,
         result, callsCell, snapshots, walked, opens, allocations,
         medianNanoseconds(executeRepeatedly, commandId, PROGRAM_COMMANDS));
}

/* ProgramSet0 (12200) on the player, whatever has the focus. */
static void reportProgram(void) {
  char module[PATH_SIZE], settings[PATH_SIZE];
  snprintf(module, PATH_SIZE, "%s/program.dll", temporaryFolder);
  snprintf(settings, PATH_SIZE, "%s/program.ini", temporaryFolder);
  printf("\n9. A program by name, ProgramSet0=50 over %d processes: per "
         "command, the program's\n   sessions, its result, COM calls "
         "(measured/expected), snapshots taken (goal 1),\n   processes "
         "walked and opened (goal 0), heap allocations, and time (median\n"
         "   of %d runs of %d)\n",
         RUNNING_PROCESSES, REPETITIONS, PROGRAM_COMMANDS);
  printf("  %-9s %-6s %-7s %-10s %-10s %-6s %-7s %-6s %s\n", "sessions", "its",
         "result", "COM calls", "snapshots", "walked", "opened", "heap", "ns");
  FILE *file = fopen(settings, "w");
  if (!file || fputs(PROGRAM_SET, file) < 0 || fclose(file) != 0)
    return;
  loadPlugin();
  simSetModuleFileName(module);
  KSTEvent_Init(HOST_FILE_NAME, 0);
  for (int sessions : {1, 16, 64})
    printProgramRow(12200, sessions);
  unlink(settings);
  simSetModuleFileName(moduleWithoutSettings);
  simFocusReset();
  simEndpointReset();
}

/* ---- The Windows library ---------------------------------------------- */

static void reportLibrarySize(const char *path) {
  printf("\n5. Size of volume.dll (goal: at most %d KiB)\n",
         DLL_SIZE_GOAL / 1024);
  struct stat status;
  if (!path || stat(path, &status) != 0) {
    printf("  not built\n");
    return;
  }
  printf("  %s: %lld bytes (%.1f KiB), %s the goal\n", path,
         (long long)status.st_size, (double)status.st_size / 1024.0,
         status.st_size <= DLL_SIZE_GOAL ? "within" : "over");
}

int main(int argc, char **argv) {
  if (!prepareSettingsFolder()) {
    removeSettingsFolder();
    fprintf(stderr, "volume_bench: cannot write a settings file in /tmp\n");
    return 1;
  }
  printf("volume plug-in over the sim\n\n");
  reportSteadyCosts();
  reportFirstCosts();
  reportAllocations();
  reportCommandTimes();
  reportInfoPairs();
  reportLibrarySize(argc > 1 ? argv[1] : nullptr);
  reportEndpointPath();
  reportFocusedApp();
  reportDisplay();
  reportProgram();
  removeSettingsFolder();
  return 0;
}
