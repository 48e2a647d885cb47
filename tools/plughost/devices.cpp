/*
 * `plughost devices`: lists the sound devices of both directions in every
 * state, with the roles each is the default for and the settings file's
 * texts that name it.
 */
#include "plughost/devices.h"

#include <cstring>

#include "core_audio/device_names.h"
#include "plughost/plughost.h"
#include "plugin/settings.h"

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

/* A listed name (UTF-8) as UTF-16, cut to size units. */
static void wideName(const char *utf8, uint16_t *wide, uint32_t size) {
  const unsigned char *at = (const unsigned char *)utf8;
  uint32_t length = 0;
  while (*at && length + 2 < size) {
    int more = *at < 0xC0 ? 0 : *at < 0xE0 ? 1 : *at < 0xF0 ? 2 : 3;
    uint32_t code = *at++ & (more ? 0x3F >> more : 0x7F);
    for (; more > 0 && (*at & 0xC0) == 0x80; more--)
      code = code << 6 | (*at++ & 0x3F);
    if (code >= 0x10000) {
      wide[length++] = (uint16_t)(0xD800 + ((code - 0x10000) >> 10));
      code = 0xDC00 + ((code - 0x10000) & 0x3FF);
    }
    wide[length++] = (uint16_t)code;
  }
  wide[length] = 0;
}

/* The first active device of a direction whose name holds the text. */
static DeviceReport *deviceNamed(DevicesListing *listing, int flow,
                                 const char *text) {
  for (unsigned i = 0; i < listing->count; i++) {
    DeviceReport *device = &listing->devices[i];
    uint16_t name[DEVICE_TEXT_SIZE];
    wideName(device->name, name, DEVICE_TEXT_SIZE);
    if (device->flow == flow && device->state == 1 && nameHoldsText(name, text))
      return device;
  }
  return nullptr;
}

void markNamingSlots(DevicesListing *listing, const char *settingsPath) {
  for (unsigned i = 0; i < listing->count; i++)
    listing->devices[i].slots = 0;
  for (int flow = 0; flow < DEVICE_FLOWS; flow++)
    for (uint32_t k = 0; k < SETTING_TEXT_SLOTS; k++) {
      const SettingTextRow &row =
          SETTING_TEXT_ROWS[flow ? SETTING_TEXT_INPUT : SETTING_TEXT_OUTPUT];
      char text[SETTING_TEXT_SIZE];
      readSettingText(settingsPath, row.section, row.key, k, text);
      DeviceReport *device = deviceNamed(listing, flow, text);
      if (device)
        device->slots |= 1u << k;
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
  fprintf(out, "  %s", device->id[0] ? device->id : "-");
  for (uint32_t k = 0; k < SETTING_TEXT_SLOTS; k++)
    if (device->slots & (1u << k))
      fprintf(out, "  %s%u", device->flow ? "Input" : "Output", (unsigned)k);
  fputc('\n', out);
}

static int anySlotMarked(const DevicesListing *listing) {
  for (unsigned i = 0; i < listing->count; i++)
    if (listing->devices[i].slots)
      return 1;
  return 0;
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
  if (anySlotMarked(listing))
    fputs("Output<k>, Input<k>: the device that text of the settings file "
          "names, which\nOutputDevice(k), OutputSet(k), InputMute(k) and the "
          "like act on.\n",
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

/* The settings file of the plug-in listed, whose texts name devices. */
static char settingsPath[4096];

static int openDevices(void *plugin, const char *path, void *, char *reason,
                       size_t reasonSize) {
  if (!hostSettingsPath(plugin, path, settingsPath, sizeof settingsPath))
    settingsPath[0] = '\0';
  return hostOpenDevices(plugin, reason, reasonSize);
}

static void readDevices(void *listing) {
  static DeviceReport reports[LISTED_DEVICES_MAX];
  readDevicesListing((DevicesListing *)listing, reports);
  markNamingSlots((DevicesListing *)listing, settingsPath);
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
