/*
 * The active devices of a direction and the default for a role, as one
 * switch looks at them.
 */
#ifndef VOLUME_DEVICE_LIST_H
#define VOLUME_DEVICE_LIST_H

#include <cstdint>

#include "platform/platform.h"

enum {
  MAX_DEVICES = 16,     /* active devices of a direction looked at */
  DEVICE_ID_SIZE = 256, /* UTF-16 units of an endpoint id */
  DEVICE_NAME_SIZE = 128,
  ROLE_COUNT = 3
};

struct DeviceEntry {
  uint16_t id[DEVICE_ID_SIZE];
  uint16_t name[DEVICE_NAME_SIZE]; /* empty where it was not asked */
};

/* One direction's part of a switch. */
struct FlowSwitch {
  AudioFlow flow;
  DeviceEntry devices[MAX_DEVICES]; /* the active ones, as enumerated */
  uint32_t count;
  int chosen;                        /* index into devices, or -1 */
  uint16_t consoleId[DEVICE_ID_SIZE]; /* the console default before; empty:
                                        none */
};

/* Two endpoint ids are one device. */
int sameId(const uint16_t *a, const uint16_t *b);
/* The active devices of flow->flow, in the order Windows lists them, with
 * their names where asked for; 0 when they cannot be listed. */
int listDevices(ComObject enumerator, FlowSwitch *flow, int withNames);
/* The default of a direction for a role: 1 with its id, 1 with an empty
 * id when there is none, 0 when it cannot be told. */
int defaultId(ComObject enumerator, AudioFlow flow, AudioRole role,
              uint16_t id[DEVICE_ID_SIZE]);

#endif
