/*
 * What a command costs the host on the real platform: KSTEvent_Execute of
 * the built volume.dll for set, step and mute, against
 *
 *  - the same winmm calls and the clock notification made directly, with
 *    the mixer handle and controls found once beforehand, as the plug-in
 *    keeps them (the plug-in's own overhead is the difference), and
 *  - one new process per command, the way command-line volume tools are
 *    started from hotkeys (this program itself, doing one set and exiting),
 *  - and a second copy of the DLL whose settings turn the on-screen display
 *    on (Osd=1), for what showing it adds to a command.
 *
 * The kinds and methods are timed in interleaved blocks, in alternating
 * order, so that drift of the machine falls on all of them alike; each
 * figure is the median of the single calls (of the processes: of the
 * rounds). The clock is a stand-in taskbar
 * on a thread of its own that pumps messages, as the shell's does.
 *
 *   wine_bench.exe [volume.dll]     (default: the DLL beside this program)
 *
 * A program to run by hand (tools/run-bench), not a test.
 */
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hostkit/hostkit.h"

static const char DESKTOP_PREFIX[] = "volume-bench";
/* Short blocks, many rounds: a machine shared with other work changes its
 * pace within a second, and short alternating blocks see the same pace. */
static const int ROUNDS = 150;
static const int CALLS_PER_BLOCK = 10;
/* A process takes a good part of a second under Wine: two every tenth
 * round. */
static const int PROCESS_ROUND_INTERVAL = 10;
static const int PROCESSES_PER_ROUND = 2;

/* ---- Time ------------------------------------------------------------ */

static double nowSeconds(void) {
  static LARGE_INTEGER frequency;
  if (frequency.QuadPart == 0)
    QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (double)now.QuadPart / (double)frequency.QuadPart;
}

static double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/* ---- The same calls made directly ------------------------------------ */

struct RawMixer {
  HMIXER mixer;
  MIXERCONTROLA volume;
  MIXERCONTROLA mute;
  DWORD channels;
};

static bool findControl(HMIXER mixer, DWORD componentType, DWORD controlType,
                        MIXERCONTROLA *control, DWORD *channels) {
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  if (mixerGetLineInfoA((HMIXEROBJ)mixer, &line,
                        MIXER_OBJECTF_HMIXER |
                            MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR)
    return false;
  *control = MIXERCONTROLA();
  control->cbStruct = sizeof *control;
  MIXERLINECONTROLSA query = {};
  query.cbStruct = sizeof query;
  query.dwLineID = line.dwLineID;
  query.dwControlType = controlType;
  query.cControls = 1;
  query.cbmxctrl = sizeof *control;
  query.pamxctrl = control;
  if (channels)
    *channels = line.cChannels < 2 ? line.cChannels : 2;
  return mixerGetLineControlsA((HMIXEROBJ)mixer, &query,
                               MIXER_OBJECTF_HMIXER |
                                   MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
         MMSYSERR_NOERROR;
}

static bool openRawMixer(RawMixer *raw) {
  *raw = RawMixer();
  MIXERCAPSA caps;
  return mixerOpen(&raw->mixer, 0, 0, 0, 0) == MMSYSERR_NOERROR &&
         mixerGetDevCapsA((UINT_PTR)raw->mixer, &caps, sizeof caps) ==
             MMSYSERR_NOERROR &&
         findControl(raw->mixer, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                     MIXERCONTROL_CONTROLTYPE_VOLUME, &raw->volume,
                     &raw->channels) &&
         findControl(raw->mixer, MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                     MIXERCONTROL_CONTROLTYPE_MUTE, &raw->mute, nullptr);
}

static bool controlValues(const RawMixer &raw, const MIXERCONTROLA &control,
                          DWORD channels, DWORD *values, bool write) {
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control.dwControlID;
  details.cChannels = channels;
  details.cbDetails = sizeof(DWORD);
  details.paDetails = values;
  HMIXEROBJ object = (HMIXEROBJ)raw.mixer;
  MMRESULT result =
      write ? mixerSetControlDetails(object, &details, MIXER_OBJECTF_HMIXER)
            : mixerGetControlDetailsA(object, &details, MIXER_OBJECTF_HMIXER);
  return result == MMSYSERR_NOERROR;
}

static void notifyClock(void) {
  HWND tray = FindWindowA("Shell_TrayWnd", "");
  HWND notify = FindWindowExA(tray, nullptr, "TrayNotifyWnd", "");
  HWND clock = FindWindowExA(notify, nullptr, "TrayClockWClass", nullptr);
  DWORD_PTR reply = 0;
  SendMessageTimeoutA(clock, TRAY_CLOCK_REFRESH, 0, 0,
                      SMTO_NORMAL | SMTO_ABORTIFHUNG, 1000, &reply);
}

/* Reads the channels, keeps their balance, writes the percent. */
static bool rawSet(const RawMixer &raw, DWORD percent) {
  DWORD levels[2] = {0, 0};
  if (!controlValues(raw, raw.volume, raw.channels, levels, false))
    return false;
  DWORD peak = std::max(levels[0], raw.channels > 1 ? levels[1] : 0);
  DWORD range = raw.volume.Bounds.dwMaximum - raw.volume.Bounds.dwMinimum;
  DWORD target = raw.volume.Bounds.dwMinimum +
                 (DWORD)((unsigned long long)range * percent / 100);
  for (DWORD i = 0; i < raw.channels; i++)
    levels[i] =
        peak ? (DWORD)((unsigned long long)levels[i] * target / peak) : target;
  if (!controlValues(raw, raw.volume, raw.channels, levels, true))
    return false;
  notifyClock();
  return true;
}

/* Reads the percent as one value, then sets it moved by the step. */
static bool rawStep(const RawMixer &raw, int step) {
  DWORD level = 0;
  if (!controlValues(raw, raw.volume, 1, &level, false))
    return false;
  DWORD range = raw.volume.Bounds.dwMaximum - raw.volume.Bounds.dwMinimum;
  int percent =
      (int)((range / 2 + (level - raw.volume.Bounds.dwMinimum) * 100ull) /
            range) +
      step;
  return rawSet(raw, (DWORD)std::min(100, std::max(0, percent)));
}

static bool rawToggleMute(const RawMixer &raw) {
  DWORD muted = 0;
  if (!controlValues(raw, raw.mute, 1, &muted, false))
    return false;
  muted = muted ? 0 : 1;
  if (!controlValues(raw, raw.mute, 1, &muted, true))
    return false;
  notifyClock();
  return true;
}

/* ---- One process per command ----------------------------------------- */

static const char CHILD_SWITCH[] = "--one-set";

/* What a command-line tool started from a hotkey does: open, find, set,
 * tell the clock, exit. */
static int runOneSet(const char *percent) {
  RawMixer raw;
  if (!openRawMixer(&raw))
    return 2;
  bool ok = rawSet(raw, (DWORD)atoi(percent));
  mixerClose(raw.mixer);
  return ok ? 0 : 1;
}

static char desktopName[96];

/* Starts this program for one set on the bench's desktop and waits. */
static bool startOneSetProcess(int percent) {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  char commandLine[MAX_PATH + 64];
  snprintf(commandLine, sizeof commandLine, "\"%s\" %s %d", program,
           CHILD_SWITCH, percent);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktopName;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

/* ---- The measurement ------------------------------------------------- */

enum Kind { SET, STEP, MUTE, KIND_COUNT };
static const char *const KIND_NAMES[KIND_COUNT] = {"set", "step", "mute"};
enum Method { PLUGIN, RAW, PLUGIN_DISPLAY, METHOD_COUNT };

struct LoadedPlugin {
  HMODULE module;
  PluginExports exports;
};

static LoadedPlugin plugin, pluginWithDisplay;
static char displayFolder[MAX_PATH];
static RawMixer raw;
static int failures;
/* The shell's clock, on a thread of its own that pumps messages. */
static ClockThread clockThread;

/* The i-th call of a kind: set alternates 40 and 60 %, step up and down
 * by 5, mute toggles, so that every call changes something. */
static void callOnce(Kind kind, Method method, int i) {
  bool ok = false;
  ExecuteFunction execute = method == PLUGIN_DISPLAY
                                ? pluginWithDisplay.exports.execute
                                : plugin.exports.execute;
  if (kind == SET) {
    int percent = i % 2 ? 60 : 40;
    ok = method != RAW ? execute(3000 + percent, 0) == 1
                       : rawSet(raw, (DWORD)percent);
  } else if (kind == STEP) {
    ok = method != RAW ? execute(i % 2 ? 2005 : 1005, 0) == 1
                       : rawStep(raw, i % 2 ? -5 : 5);
  } else {
    ok = method != RAW ? execute(1, 0) == 1 : rawToggleMute(raw);
  }
  failures += !ok;
}

/* Seconds per call over one block. */
/* Each call of a block timed alone: the median of single calls passes
 * over the calls that another program's work happened to interrupt. */
static void timeBlock(Kind kind, Method method, std::vector<double> *times) {
  for (int i = 0; i < CALLS_PER_BLOCK; i++) {
    double start = nowSeconds();
    callOnce(kind, method, i);
    times->push_back(nowSeconds() - start);
  }
}

static double timeProcesses(int round) {
  double start = nowSeconds();
  for (int i = 0; i < PROCESSES_PER_ROUND; i++)
    failures += !startOneSetProcess(round % 2 ? 60 : 40);
  return (nowSeconds() - start) / PROCESSES_PER_ROUND;
}

/* The parts a command is made of, each timed alone, to show where the
 * time goes. */
enum Part { READ_CHANNELS, READ_ONE, WRITE_CHANNELS, NOTIFY, PART_COUNT };
static const char *const PART_NAMES[PART_COUNT] = {
    "winmm read of the volume, every channel",
    "winmm read of the volume, one value", "winmm write of the volume",
    "clock notification (find the windows, send)"};

static double timePart(Part part) {
  DWORD levels[2] = {0, 0};
  double start = nowSeconds();
  for (int i = 0; i < CALLS_PER_BLOCK; i++) {
    if (part == READ_CHANNELS)
      failures += !controlValues(raw, raw.volume, raw.channels, levels, false);
    else if (part == READ_ONE)
      failures += !controlValues(raw, raw.volume, 1, levels, false);
    else if (part == WRITE_CHANNELS) {
      levels[0] = levels[1] = i % 2 ? 40000 : 30000;
      failures += !controlValues(raw, raw.volume, raw.channels, levels, true);
    } else
      notifyClock();
  }
  return (nowSeconds() - start) / CALLS_PER_BLOCK;
}

static void printParts(void) {
  std::vector<double> times[PART_COUNT];
  for (int round = 0; round < ROUNDS / 3; round++)
    for (int p = 0; p < PART_COUNT; p++)
      times[p].push_back(timePart((Part)p));
  printf("\nof which, each alone:\n");
  for (int p = 0; p < PART_COUNT; p++)
    printf("  %-45s %8.1f us\n", PART_NAMES[p], median(times[p]) * 1e6);
}

static void printMachine(void) {
  char cpu[128] = "unknown processor";
  DWORD size = sizeof cpu;
  RegGetValueA(HKEY_LOCAL_MACHINE,
               "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
               "ProcessorNameString", RRF_RT_REG_SZ, nullptr, cpu, &size);
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  MIXERCAPSA caps = {};
  mixerGetDevCapsA(0, &caps, sizeof caps);
  printf("machine: %s, %lu processors; mixer device 0: %s\n", cpu,
         (unsigned long)system.dwNumberOfProcessors, caps.szPname);
}

/* The same commands with the on-screen display shown after each. */
static void printDisplay(const std::vector<double> (*times)[METHOD_COUNT]) {
  printf("\nwith the on-screen display (Osd=1):\n");
  printf("%-6s %14s %14s %10s\n", "", "without", "with", "added");
  for (int k = 0; k < KIND_COUNT; k++) {
    double without = median(times[k][PLUGIN]);
    double with = median(times[k][PLUGIN_DISPLAY]);
    printf("%-6s %11.1f us %11.1f us %+9.1f %%\n", KIND_NAMES[k], without * 1e6,
           with * 1e6, (with / without - 1) * 100);
  }
}

static int loadPlugin(const char *path, LoadedPlugin *loaded) {
  char reason[512];
  HMODULE module = kitLoadLibrary(path, reason, sizeof reason);
  MissingExports missing;
  if (!module || !kitFindExports(module, &loaded->exports, &missing)) {
    fprintf(stderr, "wine_bench: cannot load %s: %s%s\n", path,
            module ? "it lacks the export " : reason,
            module ? missing.names[0] : "");
    return 0;
  }
  loaded->module = module;
  return loaded->exports.init(path, 0) == 1;
}

static void unloadPlugin(LoadedPlugin *loaded) {
  if (!loaded->module)
    return;
  loaded->exports.unload();
  FreeLibrary(loaded->module);
  loaded->module = nullptr;
}

static void displayFile(char *path, size_t size, const char *name) {
  snprintf(path, size, "%s\\%s", displayFolder, name);
}

/* A copy of the DLL in a folder of its own, beside settings with Osd=1. */
static int loadPluginWithDisplay(const char *path) {
  char temp[MAX_PATH], dll[MAX_PATH], settings[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  snprintf(displayFolder, sizeof displayFolder, "%svolume-bench-osd-%lu", temp,
           (unsigned long)GetCurrentProcessId());
  displayFile(dll, sizeof dll, "volume.dll");
  displayFile(settings, sizeof settings, "volume.ini");
  static const char OSD_ON[] = "[Setting]\r\nOsd=1\r\n";
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD written = 0;
  bool made =
      CreateDirectoryA(displayFolder, nullptr) && CopyFileA(path, dll, TRUE) &&
      (file = CreateFileA(settings, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                          nullptr)) != INVALID_HANDLE_VALUE &&
      WriteFile(file, OSD_ON, sizeof OSD_ON - 1, &written, nullptr);
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  return made && loadPlugin(dll, &pluginWithDisplay);
}

static void removePluginWithDisplay(void) {
  unloadPlugin(&pluginWithDisplay);
  char path[MAX_PATH];
  for (const char *name : {"volume.dll", "volume.ini"}) {
    displayFile(path, sizeof path, name);
    DeleteFileA(path);
  }
  RemoveDirectoryA(displayFolder);
}

static void defaultPluginPath(char *path, size_t size) {
  GetModuleFileNameA(nullptr, path, (DWORD)size);
  char *slash = strrchr(path, '\\');
  snprintf(slash ? slash + 1 : path,
           size - (size_t)(slash ? slash + 1 - path : 0), "volume.dll");
}

int main(int argc, char **argv) {
  if (argc == 3 && strcmp(argv[1], CHILD_SWITCH) == 0)
    return runOneSet(argv[2]);
  char path[MAX_PATH];
  if (argc > 1)
    snprintf(path, sizeof path, "%s", argv[1]);
  else
    defaultPluginPath(path, sizeof path);
  snprintf(desktopName, sizeof desktopName, "%s-%lu", DESKTOP_PREFIX,
           (unsigned long)GetCurrentProcessId());
  if (!kitUsePrivateDesktop(DESKTOP_PREFIX) ||
      !kitStartClockThread(&clockThread, CLOCK_PUMPS_MESSAGES) ||
      !openRawMixer(&raw) || !loadPlugin(path, &plugin) ||
      !loadPluginWithDisplay(path)) {
    removePluginWithDisplay();
    fprintf(stderr, "wine_bench: setting up failed\n");
    return 1;
  }
  std::vector<double> times[KIND_COUNT][METHOD_COUNT], processTimes;
  for (int round = 0; round < ROUNDS; round++) {
    for (int k = 0; k < KIND_COUNT; k++) {
      /* The plug-in first in even rounds, the raw calls in odd ones. */
      for (int m = 0; m < METHOD_COUNT; m++) {
        Method method = (Method)((m + round) % METHOD_COUNT);
        timeBlock((Kind)k, method, &times[k][method]);
      }
    }
    if (round % PROCESS_ROUND_INTERVAL == 0)
      processTimes.push_back(timeProcesses(round));
  }
  const double process = median(processTimes);
  printMachine();
  printf("%d rounds of %d calls per kind and method, %d processes every %d"
         " rounds; medians of single calls\n\n",
         ROUNDS, CALLS_PER_BLOCK, PROCESSES_PER_ROUND, PROCESS_ROUND_INTERVAL);
  printf("%-6s %14s %18s %10s %20s %14s\n", "", "KSTEvent_Execute",
         "same calls direct", "overhead", "process per command",
         "times cheaper");
  for (int k = 0; k < KIND_COUNT; k++) {
    double plugin = median(times[k][PLUGIN]);
    double direct = median(times[k][RAW]);
    printf("%-6s %13.1f us %15.1f us %+9.1f %% %17.1f ms %14.0f\n",
           KIND_NAMES[k], plugin * 1e6, direct * 1e6,
           (plugin / direct - 1) * 100, process * 1e3, process / plugin);
  }
  printParts();
  printDisplay(times);
  unloadPlugin(&plugin);
  removePluginWithDisplay();
  mixerClose(raw.mixer);
  kitStopClockThread(&clockThread);
  if (failures) {
    fprintf(stderr, "wine_bench: %d calls failed\n", failures);
    return 1;
  }
  return 0;
}
