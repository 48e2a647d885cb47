/*
 * What plughost does with a plug-in: load it and find its exports, show
 * its information record, run its commands and report on each.
 */
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "command/command_families.h"
#include "plughost/devices.h"
#include "plughost/dll_machine.h"
#include "plughost/plughost.h"
#include "plughost/sessions.h"

struct LoadedPlugin {
  const char *path;
  void *library;
  PluginExports exports;
};

/* A command of `plughost run`, as given and as it runs. */
struct RunCommand {
  const char *given;
  int32_t id;
  int unknown; /* no row of the plug-in's table holds the identifier */
};

/* A DLL built for another machine than plughost gets only the loader's
 * "Bad EXE format for %1"; the file's own header tells which it is. */
void reportUnloadable(const char *path, const char *reason) {
  char foreign[600];
  if (describeForeignDll(path, dllMachineOfFile(path), hostDllMachine(),
                         foreign, sizeof foreign))
    fprintf(stderr, "plughost: cannot load %s\n", foreign);
  else
    fprintf(stderr, "plughost: cannot load %s: %s\n", path, reason);
}

int writeListing(void *plugin, const char *path, const ListingSteps *steps,
                 void *listing, FILE *out, char *reason, size_t reasonSize) {
  if (!steps->open(plugin, path, listing, reason, reasonSize))
    return 0;
  steps->read(listing);
  steps->close();
  steps->print(out, listing);
  return 1;
}

int printListing(const char *path, const ListingSteps *steps, void *listing) {
  char reason[512] = "";
  void *library = hostLoadPlugin(path, reason, sizeof reason);
  if (!library) {
    reportUnloadable(path, reason);
    return EXIT_BAD_USE;
  }
  int listed = writeListing(library, path, steps, listing, stdout, reason,
                            sizeof reason);
  if (!listed)
    fprintf(stderr, "plughost: %s: %s\n", steps->unavailable, reason);
  hostUnloadPlugin(library);
  return listed ? EXIT_DONE : EXIT_FAILED;
}

static int loadPlugin(const char *path, LoadedPlugin *plugin) {
  char reason[512] = "";
  plugin->path = path;
  plugin->library = hostLoadPlugin(path, reason, sizeof reason);
  if (!plugin->library) {
    reportUnloadable(path, reason);
    return 0;
  }
  MissingExports missing;
  if (kitFindExports(plugin->library, &plugin->exports, &missing))
    return 1;
  for (int k = 0; k < missing.count; k++)
    fprintf(stderr, "plughost: %s lacks the export %s\n", path,
            missing.names[k]);
  hostUnloadPlugin(plugin->library);
  return 0;
}

int percentOfRange(uint32_t value, uint32_t minimum, uint32_t maximum,
                   uint32_t *percent) {
  if (maximum <= minimum)
    return 0;
  uint64_t range = maximum - minimum;
  uint64_t above = value > minimum ? value - minimum : 0;
  *percent = (uint32_t)((above * 100 + range / 2) / range);
  return 1;
}

int percentOfScalar(float scalar, uint32_t *percent) {
  if (!(scalar == scalar))
    return 0;
  double hundredths = (double)scalar * 100.0 + 0.5;
  *percent = hundredths <= 0.0     ? 0
             : hundredths >= 100.0 ? 100
                                   : (uint32_t)hundredths;
  return 1;
}

/* ---- info -------------------------------------------------------------- */

/* Bytes as they are where printable ASCII, the rest as \xNN, so that text
 * that is not what it should be still shows what it holds. */
static void escapeBytes(const char *text, char *out, size_t outSize) {
  size_t used = 0;
  for (const unsigned char *at = (const unsigned char *)text; *at; at++) {
    char piece[8];
    if (*at >= 0x20 && *at < 0x7F)
      snprintf(piece, sizeof piece, "%c", *at);
    else
      snprintf(piece, sizeof piece, "\\x%02X", *at);
    size_t length = strlen(piece);
    if (used + length >= outSize)
      break;
    memcpy(out + used, piece, length);
    used += length;
  }
  out[used] = '\0';
}

void writeCodePageText(FILE *out, const char *text) {
  char utf8[1024];
  if (!text)
    fputs("(null)", out);
  else if (hostCaptionToUtf8(text, utf8, sizeof utf8))
    fputs(utf8, out);
  else {
    escapeBytes(text, utf8, sizeof utf8);
    fprintf(out, "%s (not code page 932)", utf8);
  }
}

static void printCaption(const char *text) { writeCodePageText(stdout, text); }

static void printableName(const CommandInfo *command, char *name,
                          size_t nameSize) {
  snprintf(name, nameSize, "(null)");
  if (command->name)
    escapeBytes(command->name, name, nameSize);
}

/* The name column is as wide as the longest name printed, so that the
 * captions line up whatever the settings name (AppVolumeDown(100)). */
static int nameColumnWidth(const CommandInfo *commands, uint32_t count) {
  size_t width = 0;
  for (uint32_t k = 0; k < count; k++) {
    char name[512];
    printableName(&commands[k], name, sizeof name);
    width = strlen(name) > width ? strlen(name) : width;
  }
  return (int)width;
}

static void printCommandTable(const CommandInfo *commands, uint32_t count) {
  printf("commands  %u\n", (unsigned)count);
  if (!commands) {
    if (count)
      puts("  (no table)");
    return;
  }
  int width = nameColumnWidth(commands, count);
  for (uint32_t k = 0; k < count; k++) {
    char name[512];
    printableName(&commands[k], name, sizeof name);
    printf("  %6d  %-*s  ", (int)commands[k].commandId, width, name);
    printCaption(commands[k].caption);
    putchar('\n');
  }
}

static void printPluginInfo(const PluginInfo *info) {
  fputs("name      ", stdout);
  printCaption(info->name);
  printf("\nfile      %s\n", info->fileName ? info->fileName : "(null)");
  uint32_t ms = info->versionMS, ls = info->versionLS;
  printf("version   %u.%u.%u.%u\n", (unsigned)(ms >> 16),
         (unsigned)(ms & 0xFFFF), (unsigned)(ls >> 16),
         (unsigned)(ls & 0xFFFF));
  printCommandTable(info->commands, info->commandCount);
}

int showPluginInfo(const char *path) {
  LoadedPlugin plugin;
  if (!loadPlugin(path, &plugin))
    return EXIT_BAD_USE;
  int status = EXIT_DONE;
  PluginInfo *info = plugin.exports.initPluginInfo(path);
  if (info) {
    printPluginInfo(info);
    plugin.exports.freePluginInfo(info);
  } else {
    fprintf(stderr, "plughost: %s gave no information record\n", path);
    status = EXIT_FAILED;
  }
  hostUnloadPlugin(plugin.library);
  return status;
}

/* ---- run --------------------------------------------------------------- */

enum DecimalParse { NOT_DECIMAL, DECIMAL, DECIMAL_OUT_OF_RANGE };

/* An optional sign and at least one digit, nothing else, as an int32_t. */
static DecimalParse parseDecimal(const char *text, int32_t *value) {
  int negative = text[0] == '-';
  const char *digits = text + (negative || text[0] == '+');
  if (!*digits || strspn(digits, "0123456789") != strlen(digits))
    return NOT_DECIMAL;
  /* Stops as soon as no int32_t can be reached, long before int64_t
   * could overflow. */
  int64_t magnitude = 0;
  for (const char *at = digits; *at && magnitude <= INT64_C(2147483648); at++)
    magnitude = magnitude * 10 + (*at - '0');
  int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX || signedValue < INT32_MIN)
    return DECIMAL_OUT_OF_RANGE;
  *value = (int32_t)signedValue;
  return DECIMAL;
}

static int foldAscii(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

int sameText(const char *first, const char *second) {
  while (*first && foldAscii((unsigned char)*first) ==
                       foldAscii((unsigned char)*second)) {
    first++;
    second++;
  }
  return foldAscii((unsigned char)*first) == foldAscii((unsigned char)*second);
}

/* The row of the table that holds a name, in any case (the settings keys
 * that make the names are read in any case too), or an identifier. */
static const CommandInfo *findRow(const PluginInfo *info, const char *name,
                                  int32_t id) {
  for (uint32_t k = 0; info && info->commands && k < info->commandCount; k++) {
    const CommandInfo *row = &info->commands[k];
    if (name ? row->name && sameText(row->name, name) : row->commandId == id)
      return row;
  }
  return nullptr;
}

/* One command as given: a number, or a name looked up in the table. A
 * number that no row holds still runs (the host may call any identifier),
 * and is said to be unknown where there is a table to tell. */
static int resolveCommandId(const LoadedPlugin *plugin, const char *given,
                            const PluginInfo *info, RunCommand *command) {
  command->given = given;
  DecimalParse parsed = parseDecimal(given, &command->id);
  if (parsed == DECIMAL) {
    command->unknown = info && !findRow(info, nullptr, command->id);
    return EXIT_DONE;
  }
  if (parsed == DECIMAL_OUT_OF_RANGE) {
    fprintf(stderr, "plughost: command %s is out of range\n", given);
    return EXIT_BAD_USE;
  }
  if (!info) {
    fprintf(stderr,
            "plughost: %s gave no information record to look up %s in\n",
            plugin->path, given);
    return EXIT_FAILED;
  }
  const CommandInfo *row = findRow(info, given, 0);
  if (row) {
    command->id = row->commandId;
    return EXIT_DONE;
  }
  fprintf(stderr, "plughost: %s has no command named %s\n", plugin->path,
          given);
  return EXIT_BAD_USE;
}

/* All commands are resolved before any runs, so that a typo changes
 * nothing. */
static int resolveCommandIds(const LoadedPlugin *plugin, char *const *given,
                             int count, RunCommand *commands) {
  PluginInfo *info = plugin->exports.initPluginInfo(plugin->path);
  int status = EXIT_DONE;
  for (int k = 0; k < count && status == EXIT_DONE; k++)
    status = resolveCommandId(plugin, given[k], info, &commands[k]);
  if (info)
    plugin->exports.freePluginInfo(info);
  return status;
}

static void printSound(void) {
  SoundState sound = {};
  hostReadSound(&sound);
  if (sound.volumeKnown)
    printf("  volume %u%%", (unsigned)sound.volumePercent);
  else
    fputs("  volume -", stdout);
  printf("  mute %s", !sound.muteKnown ? "-" : sound.muted ? "on" : "off");
}

/* One line per recording device that a microphone command touched. */
static void printMicrophones(void *library) {
  MicrophoneView views[2];
  int count = hostReadMicrophones(library, views, 2);
  if (count < 0)
    puts("  microphone -");
  else if (count == 0)
    puts("  microphone: no recording device");
  for (int k = 0; k < count; k++)
    printf("  microphone %s  mute %s\n", views[k].name,
           views[k].muted ? "on" : "off");
}

/* What a command acts on beyond the sound, read again after it ran: the
 * recording devices, the focused application's sessions, the defaults. */
static void printWhatItActedOn(void *library, int32_t id) {
  const CommandFamily *family = familyOfId(id);
  switch (family ? family->subject : DISPLAY_PLAYBACK) {
  case DISPLAY_MICROPHONE:
    printMicrophones(library);
    break;
  case DISPLAY_APPLICATION:
    printTakenSessions(stdout, library);
    break;
  case DISPLAY_OUTPUT_DEVICE:
    printDefaultDevices(stdout, library, 1u << 0);
    break;
  case DISPLAY_INPUT_DEVICE:
    printDefaultDevices(stdout, library, 1u << 1);
    break;
  case DISPLAY_HEADSET:
    printDefaultDevices(stdout, library, 3u);
    break;
  case DISPLAY_PLAYBACK:
  case DISPLAY_NAMED_DEVICE:
  case DISPLAY_PROGRAM:
    break;
  }
}

/* What the plug-in said of the command on the debugger's channel: why it
 * failed. */
static void printDebugLines(void) {
  static char text[DEBUG_TEXT_SIZE];
  if (!hostTakeDebugLines(text, sizeof text))
    return;
  for (const char *line = text; *line;) {
    const char *end = strchr(line, '\n');
    int length = end ? (int)(end - line) : (int)strlen(line);
    printf("  said %.*s\n", length, line);
    line += length + (end ? 1 : 0);
  }
}

static void executeOne(const LoadedPlugin *plugin, const RunCommand *command) {
  unsigned before = 0, after = 0;
  int counted = hostClockNotifications(&before);
  int32_t result = plugin->exports.execute(command->id, 0);
  counted = counted && hostClockNotifications(&after);
  printf("%s  id %d%s  result %d", command->given, (int)command->id,
         command->unknown ? " (unknown)" : "", (int)result);
  printSound();
  if (counted)
    printf("  clock %s (%u -> %u)\n",
           after > before ? "notified" : "not notified", before, after);
  else
    puts("  clock -");
  printWhatItActedOn(plugin->library, command->id);
  printDebugLines();
  fflush(stdout);
}

int32_t pluginSetting(SettingId id, const char *settingsPath) {
  const SettingRow &row = SETTING_ROWS[id];
  return settingsPath[0] ? hostProfileInt(row.section, row.key, row.whenMissing,
                                          settingsPath)
                         : row.whenMissing;
}

/* Whether the plug-in's settings file sets VolEndpoint=1: then its
 * commands act on the default playback endpoint. */
static int usesEndpoint(const LoadedPlugin *plugin) {
  char settingsPath[4096];
  return hostSettingsPath(plugin->library, plugin->path, settingsPath,
                          sizeof settingsPath) &&
         pluginSetting(SETTING_ENDPOINT, settingsPath) ==
             SETTING_ROWS[SETTING_ENDPOINT].onValue;
}

static void executeAll(const LoadedPlugin *plugin, const RunCommand *commands,
                       int count) {
  if (!plugin->exports.init(plugin->path, 0))
    fprintf(stderr, "plughost: KSTEvent_Init returned 0; running the "
                    "commands all the same\n");
  int endpoint = usesEndpoint(plugin);
  if (endpoint)
    puts(ENDPOINT_NOTE);
  hostStartObserving(plugin->library, endpoint);
  for (int k = 0; k < count; k++)
    executeOne(plugin, &commands[k]);
  hostStopObserving();
  plugin->exports.unload();
}

int runCommands(const char *path, int withTaskbar, char *const *commands,
                int commandCount) {
  LoadedPlugin plugin;
  if (!loadPlugin(path, &plugin))
    return EXIT_BAD_USE;
  RunCommand *resolved =
      (RunCommand *)calloc((size_t)commandCount, sizeof *resolved);
  int status =
      resolved ? resolveCommandIds(&plugin, commands, commandCount, resolved)
               : EXIT_FAILED;
  char reason[512] = "";
  if (status == EXIT_DONE && withTaskbar &&
      !hostCreateTaskbar(reason, sizeof reason)) {
    fprintf(stderr, "plughost: no stand-in taskbar: %s\n", reason);
    status = EXIT_FAILED;
  }
  if (status == EXIT_DONE)
    executeAll(&plugin, resolved, commandCount);
  free(resolved);
  hostUnloadPlugin(plugin.library);
  return status;
}
