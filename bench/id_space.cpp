/*
 * Runs KSTEvent_Execute on every one of the 2^32 command identifiers over
 * the sim's mixer and Core Audio and checks that exactly the identifiers
 * in the rows of command/command_families.h reach one of them, succeed and
 * tell the clock, and that every other one returns 0 and asks neither
 * anything. Prints the time taken. Not a test: it takes a while.
 *
 *   build/bench/bench/volume_id_space
 */
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "command/command_families.h"
#include "plugin/plugin.h"
#include "sim/sim.h"

/* Settings whose every device slot names a device of the sim (both of
 * them, for a headset) and every program slot the player, each with its
 * numbers, so that those identifiers succeed too; the module is named
 * beside them. */
static void nameEveryDevice(char module[64]) {
  char folder[] = "/tmp/volume-id-space-XXXXXX";
  if (!mkdtemp(folder))
    return;
  snprintf(module, 64, "%s/volume.dll", folder);
  char settings[64];
  snprintf(settings, sizeof settings, "%s/volume.ini", folder);
  FILE *file = fopen(settings, "w");
  if (!file)
    return;
  fputs("[Command]\n", file);
  for (int k = 0; k < 10; k++) {
    fprintf(file, "Output%d=speakers\nInput%d=microphone\nDevice%d=simulated\n",
            k, k, k);
    fprintf(file, "Program%d=player\n", k);
    for (const char *stem : {"Output", "Input", "Program"})
      fprintf(file, "%sUpDown%d=5\n%sSet%d=5\n%sMute%d=1\n", stem, k, stem, k,
              stem, k);
  }
  fclose(file);
  simSetModuleFileName(module);
}

int main(void) {
  /* The sim has a recording device, so that the microphone's identifiers
   * succeed too. */
  static char module[64];
  nameEveryDevice(module);
  KSTEvent_Init("volume.dll", 0);
  /* A program in the foreground with a session, so that the focused
   * application's identifiers succeed. */
  simProcessAdd(100, "C:\\player.exe");
  simSetForegroundWindow(simAppWindowAdd(0, "Player", 100));
  simSessionAdd(0, 100);
  auto start = std::chrono::steady_clock::now();
  uint64_t reached = 0, wrong = 0;
  unsigned reads = simMixerCalls(SIM_MIXER_READ) + simEndpointAllCalls();
  for (int64_t id = INT32_MIN; id <= INT32_MAX; id++) {
    int32_t result = KSTEvent_Execute((int32_t)id, 0);
    unsigned readsNow = simMixerCalls(SIM_MIXER_READ) + simEndpointAllCalls();
    bool touched = readsNow != reads;
    reads = readsNow;
    reached += touched;
    if (touched != isCommandId(id) || result != (int32_t)isCommandId(id)) {
      if (wrong++ < 10)
        printf("identifier %lld: result %d, %s the mixer\n", (long long)id,
               result, touched ? "reached" : "did not reach");
    }
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count();
  unsigned notified = simTrayClockNotifications();
  uint64_t expected = commandIdCount();
  printf("%llu identifiers in %.1f s (%.2f ns each): %llu reached the mixer or "
         "Core Audio, "
         "%u clock notifications (%llu expected), %llu wrong\n",
         (unsigned long long)(1ull << 32), seconds,
         seconds * 1e9 / 4294967296.0, (unsigned long long)reached, notified,
         (unsigned long long)expected, (unsigned long long)wrong);
  return reached == expected && notified == expected && wrong == 0 ? 0 : 1;
}
