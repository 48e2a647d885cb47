/*
 * The active devices of a direction, handed over one at a time as Windows
 * lists them, and the default for a role, as one switch looks at them.
 */
#ifndef VOLUME_DEVICE_LIST_H
#define VOLUME_DEVICE_LIST_H

#include <cstdint>

#include "platform/platform.h"

enum {
  DEVICE_ID_SIZE = 256, /* UTF-16 units of an endpoint id */
  DEVICE_NAME_SIZE = 128,
  ROLE_COUNT = 3
};

struct DeviceEntry {
  uint16_t id[DEVICE_ID_SIZE];
  uint16_t name[DEVICE_NAME_SIZE]; /* empty where it was not asked */
};

/* Takes one device; the entry is the lister's and is gone after. */
typedef void (*DeviceVisitor)(void *context, const DeviceEntry *device);

/* Two endpoint ids are one device. */
int sameId(const uint16_t *a, const uint16_t *b);
/* Hands every active device of a direction whose id can be read to the
 * visitor, in the order Windows lists them, with its name where asked
 * for: however many there are, none is left out. 0 when they cannot be
 * listed. */
int visitDevices(ComObject enumerator, AudioFlow flow, int withNames,
                 DeviceVisitor visit, void *context);
/* The default of a direction for a role: 1 with its id, 1 with an empty
 * id when there is none, 0 when it cannot be told. */
int defaultId(ComObject enumerator, AudioFlow flow, AudioRole role,
              uint16_t id[DEVICE_ID_SIZE]);

#endif
