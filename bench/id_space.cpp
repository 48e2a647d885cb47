/*
 * Runs KSTEvent_Execute on every one of the 2^32 command identifiers over
 * the simulated mixer and checks that exactly the 304 of the four ranges
 * (1, 1000..1100, 2000..2100, 3000..3100) reach the mixer, succeed and
 * tell the clock, and that every other one returns 0 and asks the mixer
 * nothing. Prints the time taken. Not a test: it takes a while.
 *
 *   build/bench/bench/volume_id_space
 */
#include <chrono>
#include <cstdint>
#include <cstdio>

#include "platform/standin/standin.h"
#include "plugin/plugin.h"

static bool isCommandId(int64_t id) {
  return id == 1 || (id >= 1000 && id <= 1100) || (id >= 2000 && id <= 2100) ||
         (id >= 3000 && id <= 3100);
}

int main(void) {
  KSTEvent_Init("volume.dll", 0);
  auto start = std::chrono::steady_clock::now();
  uint64_t reached = 0, wrong = 0;
  unsigned reads = simMixerCalls(SIM_MIXER_READ);
  for (int64_t id = INT32_MIN; id <= INT32_MAX; id++) {
    int32_t result = KSTEvent_Execute((int32_t)id, 0);
    unsigned readsNow = simMixerCalls(SIM_MIXER_READ);
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
  printf("%llu identifiers in %.1f s (%.2f ns each): %llu reached the mixer, "
         "%u clock notifications (304 expected), %llu wrong\n",
         (unsigned long long)(1ull << 32), seconds,
         seconds * 1e9 / 4294967296.0, (unsigned long long)reached, notified,
         (unsigned long long)wrong);
  return reached == 304 && notified == 304 && wrong == 0 ? 0 : 1;
}
