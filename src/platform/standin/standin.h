/*
 * Controls of the off-Windows stand-ins, for test programs, the host driver
 * and the benchmark. The stand-ins implement platform.h with:
 *
 *  - a simulated mixer device 0 whose lines, controls and channel values can
 *    be shaped, and any of whose seven operations can be made to fail;
 *  - a profile reader that reads INI files as the platform's does;
 *  - the module's own path (dladdr), or a name a test sets;
 *  - a few windows, by default the shell's taskbar and its clock, that
 *    count the messages they receive;
 *  - the C heap, counted, with one allocation that can be made to fail;
 *  - a version query that finds no version resource (there is no such
 *    thing off Windows), so both version halves are 0.
 */
#ifndef VOLUME_STANDIN_H
#define VOLUME_STANDIN_H

#include <cstdint>

#include "platform/platform.h"

extern "C" {

/* ---- Simulated mixer -------------------------------------------------- */

enum SimMixerOp {
  SIM_MIXER_OPEN,    /* mixerOpen */
  SIM_MIXER_CAPS,    /* mixerGetDevCapsA */
  SIM_MIXER_LINE,    /* mixerGetLineInfoA */
  SIM_MIXER_CONTROL, /* mixerGetLineControlsA */
  SIM_MIXER_READ,    /* mixerGetControlDetailsA */
  SIM_MIXER_WRITE,   /* mixerSetControlDetails */
  SIM_MIXER_CLOSE,   /* mixerClose */
  SIM_MIXER_OPS
};

enum { SIM_MAX_LINES = 8, SIM_MAX_CHANNELS = 16, SIM_MAX_HANDLES = 512 };

/* winmm's codes, as the simulation returns them. */
enum {
  SIM_MMSYSERR_ERROR = 1,
  SIM_MMSYSERR_BADDEVICEID = 2,
  SIM_MMSYSERR_INVALHANDLE = 5,
  SIM_MMSYSERR_NOMEM = 7,
  SIM_MMSYSERR_INVALPARAM = 11,
  SIM_MIXERR_INVALLINE = 1024,
  SIM_MIXERR_INVALCONTROL = 1025
};

struct SimLine {
  uint32_t componentType; /* winmm component type */
  uint32_t channels;      /* cChannels */
  int hasVolume;          /* offers a volume control */
  uint32_t minimum;       /* volume bounds */
  uint32_t maximum;
  uint32_t levels[SIM_MAX_CHANNELS]; /* volume per channel */
  int hasMute;                       /* offers a mute control */
  uint32_t mute;                     /* mute value as last written */
  /* Like Wine's mixer: a read of several channels fills only the first
   * value, and a write takes only the first value, for every channel. */
  int firstChannelOnly;
  /* Like Wine's wave-out line: reads succeed but fill in no value. */
  int reportsNothing;
};

/* Device 0 with one speakers line: 2 channels at 0, volume 0..65535, mute
 * off. Clears faults and call counts; the device is present. */
void simMixerReset(void);
/* Adds a line of that component type shaped like the default one; null
 * when SIM_MAX_LINES are there already. */
SimLine *simMixerAddLine(uint32_t componentType, uint32_t channels);
/* The first line of a component type, or null. */
SimLine *simMixerLine(uint32_t componentType);
/* The lines in the order they were added, as a listing walks them: the
 * index-th line, or null past the last. */
SimLine *simMixerLineAt(unsigned index);
void simMixerRemoveLines(void);
/* Whether mixer device 0 exists; without it mixerOpen fails. */
void simMixerSetPresent(int present);
/* Makes an operation return this error until called again with 0. */
void simMixerFail(SimMixerOp op, MixerResult error);
/* How often an operation ran since the last reset (failures included). */
unsigned simMixerCalls(SimMixerOp op);
void simMixerClearCalls(void);
/* How many handles mixerOpen handed out that mixerClose has not closed.
 * After SIM_MAX_HANDLES opens, mixerOpen fails. */
unsigned simMixerOpenHandles(void);

/* The values of the last write that reached a control, whether the
 * simulated line kept them or not. */
struct SimMixerWrite {
  uint32_t controlType; /* MIXER_CONTROL_VOLUME or MIXER_CONTROL_MUTE */
  uint32_t minimum;     /* that control's bounds */
  uint32_t maximum;
  uint32_t channels; /* values written */
  uint32_t values[SIM_MAX_CHANNELS];
};
/* The last write since the calls were last cleared, or null. */
const SimMixerWrite *simMixerLastWrite(void);

/* ---- Module name, windows, heap --------------------------------------- */

/* The name GetModuleFileNameA reports; null: the module's real path. */
void simSetModuleFileName(const char *name);

/* The taskbar with its notification area and clock, nothing else. */
void simWindowsReset(void);
/* Closes every window of a class (and, with it, its children). */
void simWindowsRemove(const char *className);
/* Messages 1030 that the taskbar clock has received. */
unsigned simTrayClockNotifications(void);
/* How many window look-ups and sends ran, found or not. */
unsigned simWindowCalls(void);

/* Counts from now; no allocation fails. */
void simHeapReset(void);
/* The index-th allocation from now (0 is the next) fails; -1: none. */
void simHeapFailAllocation(long index);
/* Fills every block allocated from now with this byte, as a heap that
 * hands out used memory would leave it; -1 (and simHeapReset): as malloc
 * returns it. */
void simHeapPoisonNewBlocks(int byte);
/* Allocations since the reset, and blocks not yet freed. */
unsigned long simHeapAllocations(void);
long simHeapLiveBlocks(void);

} /* extern "C" */

#endif
