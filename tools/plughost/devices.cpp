/*
 * `plughost devices`: lists the sound devices of both directions in every
 * state, with the roles each is the default for.
 */
#include "plughost/devices.h"

#include <cstring>

#include "plughost/plughost.h"

void readDevicesListing(DevicesListing *listing, DeviceReport *reports) {
  listing->devices = reports;
  listing->complete = hostReadDevices(reports, LISTED_DEVICES_MAX,
                                      &listing->count, &listing->notShown);
  for (int flow = 0; flow < DEVICE_FLOWS; flow++)
    for (int role = 0; role < DEVICE_ROLES; role++)
      hostDefaultDevice(flow, role, listing->defaults[flow][role],
                        DEVICE_TEXT_SIZE);
  for (unsigned i = 0; i < listing->count; i++) {
    DeviceReport *device = &reports[i];
    device->roles = 0;
    for (int role = 0; role < DEVICE_ROLES && device->id[0]; role++)
      if (strcmp(device->id, listing->defaults[device->flow][role]) == 0)
        device->roles |= 1u << role;
  }
}

/* ---- Printing ------------------------------------------------------------ */

/* DEVICE_STATE_ACTIVE, _DISABLED, _NOTPRESENT and _UNPLUGGED. */
static const char *stateText(uint32_t state, char *other, size_t size) {
  switch (state) {
  case 1:
    return "active";
  case 2:
    return "disabled";
  case 4:
    return "not present";
  case 8:
    return "unplugged";
  default:
    snprintf(other, size, "0x%X", (unsigned)state);
    return other;
  }
}

static const char *flowText(int flow) {
  return flow ? "recording" : "playback";
}

/* The roles a device is the default for, in columns, "-" where not. */
static void printRoles(FILE *out, unsigned roles) {
  static const char *const ROLES[DEVICE_ROLES] = {"con", "mm", "com"};
  for (int role = 0; role < DEVICE_ROLES; role++)
    fprintf(out, "%-3s ", roles & (1u << role) ? ROLES[role] : "-");
}

static void printDevice(FILE *out, const DeviceReport *device) {
  char other[16];
  fprintf(out, "%-9s  %-11s  ", flowText(device->flow),
          stateText(device->state, other, sizeof other));
  printRoles(out, device->roles);
  if (device->name[0])
    fprintf(out, " \"%s\"", device->name);
  else
    fputs(" -", out);
  fprintf(out, "  %s\n", device->id[0] ? device->id : "-");
}

void printDevicesListing(FILE *out, const DevicesListing *listing) {
  fputs("flow       state        default      \"name\"  id\n", out);
  for (unsigned i = 0; i < listing->count; i++)
    printDevice(out, &listing->devices[i]);
  if (listing->count == 0)
    fputs("(no sound device)\n", out);
  if (listing->notShown)
    fprintf(out, "... and %u more devices, not shown\n", listing->notShown);
  if (!listing->complete)
    fputs("Some devices could not be listed.\n", out);
  fputs("\ncon, mm, com: the default device for the console, multimedia and "
        "communications\nroles. NextOutput and NextInput go round the active "
        "devices in this order.\n",
        out);
}

void printDefaultDevices(FILE *out, void *plugin, unsigned flows) {
  char reason[512] = "";
  if (!hostOpenDevices(plugin, reason, sizeof reason)) {
    fprintf(out, "  default -  (%s)\n", reason);
    return;
  }
  static DeviceReport reports[LISTED_DEVICES_MAX];
  static DevicesListing listing;
  listing = DevicesListing();
  readDevicesListing(&listing, reports);
  hostCloseDevices();
  for (int flow = 0; flow < DEVICE_FLOWS; flow++) {
    if (!(flows & (1u << flow)))
      continue;
    unsigned shown = 0;
    for (unsigned i = 0; i < listing.count; i++) {
      const DeviceReport *device = &reports[i];
      if (device->flow != flow || !device->roles)
        continue;
      fprintf(out, "  default %-9s  ", flowText(flow));
      printRoles(out, device->roles);
      fprintf(out, " \"%s\"\n", device->name);
      shown++;
    }
    if (!shown)
      fprintf(out, "  default %-9s  none\n", flowText(flow));
  }
}

/* ---- The listing's steps ------------------------------------------------ */

static int openDevices(void *plugin, const char *, void *, char *reason,
                       size_t reasonSize) {
  return hostOpenDevices(plugin, reason, reasonSize);
}

static void readDevices(void *listing) {
  static DeviceReport reports[LISTED_DEVICES_MAX];
  readDevicesListing((DevicesListing *)listing, reports);
}

static void printDevices(FILE *out, const void *listing) {
  printDevicesListing(out, (const DevicesListing *)listing);
}

const ListingSteps DEVICES_LISTING = {"no sound devices to list", openDevices,
                                      readDevices, hostCloseDevices,
                                      printDevices};

int listAudioDevices(const char *path) {
  /* The defaults' ids make it large. */
  static DevicesListing listing;
  listing = DevicesListing();
  return printListing(path, &DEVICES_LISTING, &listing);
}
