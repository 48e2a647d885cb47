/*
 * Figures for the endpoint path (VolEndpoint=1) under Wine, through real
 * COM into the project's fake Core Audio server:
 *
 *   endpoint_wine_bench VOLUME_DLL FAKE_CORE_AUDIO_DLL
 *
 * Run in the Wine prefix where the fake is registered for the
 * MMDeviceEnumerator class (tools/run-bench does this). For set, step and
 * mute it prints the server's calls per command and the time per command,
 * once with the calling thread outside COM (every command enters and
 * leaves it) and once inside a single-threaded apartment of the host's.
 * Nothing passes or fails.
 */
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "fake_core_audio/fake_core_audio.h"
#include "hostkit/hostkit.h"

enum { WARM_UP_COMMANDS = 50, TIMED_COMMANDS = 200, REPETITIONS = 5 };

struct Plugin {
  HMODULE module;
  ExecuteFunction execute;
  UnloadFunction unload;
};

static const struct {
  const char *label;
  int32_t id;
} KINDS[] = {{"set 50 (3050)", 3050},
             {"step up 5 (1005)", 1005},
             {"mute (1)", 1},
             /* Between the fake's two active playback devices, every role. */
             {"next output (31)", 31}};

/* A copy of the plug-in beside a settings file that sets VolEndpoint=1. */
static bool installPlugin(const char *built, std::string *installed) {
  char temp[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, temp))
    return false;
  std::string folder = std::string(temp) + "endpoint-bench-" +
                       std::to_string(GetCurrentProcessId()) + "\\";
  if (!CreateDirectoryA(folder.c_str(), nullptr))
    return false;
  *installed = folder + "volume.dll";
  HANDLE file = CreateFileA((folder + "volume.ini").c_str(), GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  const char settings[] = "[Setting]\r\nVolEndpoint=1\r\n";
  DWORD written = 0;
  WriteFile(file, settings, sizeof settings - 1, &written, nullptr);
  CloseHandle(file);
  return written == sizeof settings - 1 &&
         CopyFileA(built, installed->c_str(), FALSE);
}

static void removePlugin(const std::string &installed) {
  std::string folder = installed.substr(0, installed.find_last_of('\\') + 1);
  DeleteFileA(installed.c_str());
  DeleteFileA((folder + "volume.ini").c_str());
  RemoveDirectoryA(folder.c_str());
}

static bool loadPlugin(const std::string &path, Plugin *plugin) {
  char reason[512];
  plugin->module = kitLoadLibrary(path.c_str(), reason, sizeof reason);
  PluginExports exports;
  MissingExports missing;
  if (!plugin->module || !kitFindExports(plugin->module, &exports, &missing))
    return false;
  plugin->execute = exports.execute;
  plugin->unload = exports.unload;
  return exports.init(path.c_str(), 0) == 1;
}

static double nowMicroseconds(void) {
  static LARGE_INTEGER frequency;
  if (!frequency.QuadPart)
    QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return (double)counter.QuadPart * 1e6 / (double)frequency.QuadPart;
}

/* The median over the repetitions damps the noise of a shared machine. */
static double microsecondsPerCommand(const Plugin &plugin, int32_t id,
                                     int *failures) {
  double samples[REPETITIONS];
  for (int r = 0; r < REPETITIONS; r++) {
    double start = nowMicroseconds();
    for (int i = 0; i < TIMED_COMMANDS; i++)
      *failures += plugin.execute(id, 0) == 0;
    samples[r] = (nowMicroseconds() - start) / TIMED_COMMANDS;
  }
  std::sort(samples, samples + REPETITIONS);
  return samples[REPETITIONS / 2];
}

static void reportKind(const Plugin &plugin, FakeAudioState *state,
                       const char *label, int32_t id) {
  for (int i = 0; i < WARM_UP_COMMANDS; i++)
    plugin.execute(id, 0);
  LONG before[FAKE_CALLS];
  std::copy(state->calls, state->calls + FAKE_CALLS, before);
  int failures = 0;
  double micro = microsecondsPerCommand(plugin, id, &failures);
  const double commands = (double)TIMED_COMMANDS * REPETITIONS;
  printf("  %-18s", label);
  for (int c = 0; c < FAKE_CALLS; c++)
    printf(" %-9.2f", (state->calls[c] - before[c]) / commands);
  printf(" %-9.1f %d\n", micro, failures);
}

/* A column per counted call, in FakeCall's order. */
static const char *const CALL_NAMES[] = {
    "classobj", "create",  "default", "activate", "getVol",   "setVol",
    "getMute",  "setMute", "getId",   "enumDev",  "sessions", "sesVol",
    "sesMute",  "props",   "name",    "policy",   "setDflt"};
static_assert(sizeof CALL_NAMES / sizeof CALL_NAMES[0] == FAKE_CALLS,
              "a name per counted call");

static void reportThread(const Plugin &plugin, FakeAudioState *state,
                         const char *thread) {
  printf("\n  calling thread: %s\n", thread);
  printf("  %-18s", "command");
  for (const char *name : CALL_NAMES)
    printf(" %-9s", name);
  printf(" %-9s %s\n", "us/cmd", "failed");
  for (const auto &kind : KINDS)
    reportKind(plugin, state, kind.label, kind.id);
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: endpoint_wine_bench VOLUME_DLL FAKE_DLL\n");
    return 2;
  }
  HMODULE fake = LoadLibraryA(argv[2]);
  FakeAudioGetStateFunction getState =
      fake ? (FakeAudioGetStateFunction)(void *)GetProcAddress(
                 fake, "FakeAudioGetState")
           : nullptr;
  std::string installed;
  Plugin plugin = {};
  if (!getState || !installPlugin(argv[1], &installed) ||
      !loadPlugin(installed, &plugin)) {
    fprintf(stderr, "endpoint_wine_bench: cannot load %s or %s\n", argv[1],
            argv[2]);
    return 1;
  }
  FakeAudioState *state = getState();
  printf("Endpoint path under Wine, through COM into the fake Core Audio"
         " server:\nserver calls per command (mean of %d), microseconds per"
         " command (median of %d runs)\n",
         TIMED_COMMANDS * REPETITIONS, REPETITIONS);
  reportThread(plugin, state, "no COM (each command enters and leaves it)");
  if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    reportThread(plugin, state, "in a single-threaded apartment of its own");
    CoUninitialize();
  }
  printf("\n  live references after KSTEvent_Unload: ");
  plugin.unload();
  printf("%ld (goal 0)\n", (long)state->liveReferences);
  FreeLibrary(plugin.module);
  removePlugin(installed);
  return 0;
}
