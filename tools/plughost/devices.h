/*
 * `plughost devices`: every sound device of both directions, in any
 * state, with its friendly name, its id and the roles it is the default
 * for, so that a user can see what the device-switching commands choose
 * among (the active ones, in this order) and what a name matches.
 *
 * The platform part reads the devices and the default id of each flow
 * and role (Core Audio on Windows, the sim inside the loaded plug-in
 * elsewhere) into plain reports; the portable part (devices.cpp) marks
 * the defaults and the devices the settings file's texts name (by the
 * plug-in's own matcher), and prints.
 */
#ifndef PLUGHOST_DEVICES_H
#define PLUGHOST_DEVICES_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "plughost/plughost.h"

enum {
  DEVICE_TEXT_SIZE = 256,  /* a name or an id, as UTF-8 */
  LISTED_DEVICES_MAX = 64, /* devices listed; more are counted */
  DEVICE_FLOWS = 2,        /* EDataFlow: render, capture */
  DEVICE_ROLES = 3         /* ERole: console, multimedia, communications */
};

struct DeviceReport {
  int flow;                    /* 0: playback, 1: recording */
  uint32_t state;              /* a DEVICE_STATE_* value */
  char name[DEVICE_TEXT_SIZE]; /* friendly name; empty: none to read */
  char id[DEVICE_TEXT_SIZE];   /* empty: none to read */
  unsigned roles;              /* bit r: the default for ERole r */
  unsigned slots; /* bit k: Output<k> (Input<k> for a recording device)
                     of the settings file names it */
};

struct DevicesListing {
  DeviceReport *devices;
  unsigned count;
  unsigned notShown; /* beyond LISTED_DEVICES_MAX */
  int complete;      /* every device and default answered */
  /* The default's id of each flow and role; empty: none. */
  char defaults[DEVICE_FLOWS][DEVICE_ROLES][DEVICE_TEXT_SIZE];
};

/* ---- Portable part ----------------------------------------------------- */

/* `plughost devices <plugin>`. */
int listAudioDevices(const char *path);
/* Its steps, over a DevicesListing. */
extern const ListingSteps DEVICES_LISTING;
/* Reads the devices and the defaults, and marks each device's roles. */
void readDevicesListing(DevicesListing *listing, DeviceReport *reports);
/* Marks the device each Output<k> and Input<k> text of the settings file
 * names, as the plug-in finds it: the first active one of the text's
 * direction, in the listing's order, whose name holds the text. */
void markNamingSlots(DevicesListing *listing, const char *settingsPath);
void printDevicesListing(FILE *out, const DevicesListing *listing);
/* After a device switch (`plughost run`): the default devices of the flows
 * whose bits are set in flows (1: playback, 2: recording), by name, with
 * the roles each is the default for, as the loaded plug-in's system has
 * them. */
void printDefaultDevices(FILE *out, void *plugin, unsigned flows);

/* ---- Platform part ----------------------------------------------------- */

/* Makes the loaded plug-in's devices readable; 0 with the reason when
 * they cannot be. */
int hostOpenDevices(void *plugin, char *reason, size_t reasonSize);
/* Every device of both flows in every state, playback first, each flow in
 * the order the system enumerates it (at most max, the rest counted in
 * *notShown). 0 when a flow's devices could not all be listed. */
int hostReadDevices(DeviceReport *reports, unsigned max, unsigned *count,
                    unsigned *notShown);
/* The id of the default device of a flow for a role; 0 with the empty
 * string where there is none or it cannot be read. */
int hostDefaultDevice(int flow, int role, char *id, size_t size);
void hostCloseDevices(void);

#endif
