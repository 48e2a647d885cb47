/*
 * `plughost lines`: lists the destination and source lines of mixer
 * device 0, which VolComponentType value selects each, and which one the
 * settings file beside the plug-in selects now.
 */
#include "plughost/lines.h"

#include <cstring>

#include "plughost/plughost.h"

/* winmm's names of the component types, in the order of the
 * VolComponentType values that select them. */
static const char *const COMPONENT_TYPE_NAMES[] = {"undefined destination",
                                                   "digital destination",
                                                   "line destination",
                                                   "monitor",
                                                   "speakers",
                                                   "headphones",
                                                   "telephone destination",
                                                   "wave-in destination",
                                                   "voice-in destination",
                                                   "undefined source",
                                                   "digital source",
                                                   "line-in source",
                                                   "microphone",
                                                   "synthesizer",
                                                   "compact disc",
                                                   "telephone source",
                                                   "PC speaker",
                                                   "wave-out source",
                                                   "auxiliary",
                                                   "analog source"};
static_assert(sizeof COMPONENT_TYPE_NAMES / sizeof COMPONENT_TYPE_NAMES[0] ==
                  COMPONENT_TYPE_SETTINGS,
              "a name for every value");

/* The plug-in's mapping, walked backwards: the first value that selects
 * the type. */
int32_t settingOfComponentType(uint32_t componentType) {
  for (int32_t setting = 0; setting < COMPONENT_TYPE_SETTINGS; setting++)
    if (componentTypeFromSetting(setting) == componentType)
      return setting;
  return -1;
}

const char *componentTypeName(uint32_t componentType) {
  int32_t setting = settingOfComponentType(componentType);
  return setting < 0 ? "unknown" : COMPONENT_TYPE_NAMES[setting];
}

const char *mixerErrorName(uint32_t error) {
  switch (error) {
  case 1:
    return "unspecified error (MMSYSERR_ERROR)";
  case 2:
    return "no such device (MMSYSERR_BADDEVICEID)";
  case 5:
    return "invalid handle (MMSYSERR_INVALHANDLE)";
  case 6:
    return "no driver (MMSYSERR_NODRIVER)";
  case 7:
    return "out of memory (MMSYSERR_NOMEM)";
  case 8:
    return "not supported (MMSYSERR_NOTSUPPORTED)";
  case 11:
    return "invalid parameter (MMSYSERR_INVALPARAM)";
  case 1024:
    return "no such line (MIXERR_INVALLINE)";
  case 1025:
    return "no such control (MIXERR_INVALCONTROL)";
  default:
    return "unknown error";
  }
}

/* ---- Printing ------------------------------------------------------------ */

static void lineLabel(const LineReport *line, char *label, size_t size) {
  if (line->source == LINE_IS_DESTINATION)
    snprintf(label, size, "dest %u", (unsigned)line->destination);
  else
    snprintf(label, size, "src %u.%d", (unsigned)line->destination,
             (int)line->source);
}

/* The line the volume commands change: the first of the selected type. */
static const LineReport *selectedLine(const LinesListing *listing) {
  uint32_t wanted = componentTypeFromSetting(listing->componentTypeSetting);
  for (unsigned k = 0; k < listing->lineCount; k++) {
    const LineReport *line = &listing->lines[k];
    if (line->answered && line->firstOfItsType && line->componentType == wanted)
      return line;
  }
  return nullptr;
}

/* "4", "(4)" when an earlier line of its type takes the value, "-"
 * when no value reaches its type. */
static void settingText(const LineReport *line, char *text, size_t size) {
  int32_t setting = settingOfComponentType(line->componentType);
  if (setting < 0)
    snprintf(text, size, "-");
  else if (line->firstOfItsType)
    snprintf(text, size, "%d", (int)setting);
  else
    snprintf(text, size, "(%d)", (int)setting);
}

static void volumeText(const ControlReport *volume, char *text, size_t size) {
  uint32_t percent = 0;
  switch (volume->state) {
  case CONTROL_ABSENT:
    snprintf(text, size, "none");
    break;
  case CONTROL_FAILED:
    snprintf(text, size, "failed");
    break;
  case CONTROL_NO_VALUE:
    snprintf(text, size, "no value");
    break;
  case CONTROL_READ:
    if (volume->value <= volume->maximum &&
        percentOfRange(volume->value, volume->minimum, volume->maximum,
                       &percent))
      snprintf(text, size, "%u%%", (unsigned)percent);
    else
      snprintf(text, size, "? (%u)", (unsigned)volume->value);
    break;
  }
}

static const char *muteText(const ControlReport *mute) {
  switch (mute->state) {
  case CONTROL_ABSENT:
    return "none";
  case CONTROL_FAILED:
    return "failed";
  case CONTROL_NO_VALUE:
    return "no value";
  case CONTROL_READ:
    break;
  }
  return mute->value ? "on" : "off";
}

/* What went wrong with a line, each on a line of its own below it. */
static void printLineErrors(FILE *out, const LineReport *line,
                            const char *label) {
  if (!line->answered) {
    fprintf(out, "    %s does not answer: error %u, %s\n", label,
            (unsigned)line->error, mixerErrorName(line->error));
    return;
  }
  if (line->volume.state == CONTROL_FAILED)
    fprintf(out, "    %s volume: error %u, %s\n", label,
            (unsigned)line->volume.error, mixerErrorName(line->volume.error));
  if (line->mute.state == CONTROL_FAILED)
    fprintf(out, "    %s mute: error %u, %s\n", label,
            (unsigned)line->mute.error, mixerErrorName(line->mute.error));
}

static void printLine(FILE *out, const LineReport *line, int selected) {
  char label[32], setting[16], volume[32], type[64];
  lineLabel(line, label, sizeof label);
  if (!line->answered) {
    fprintf(out, "    ?  %-9s (no answer)\n", label);
    printLineErrors(out, line, label);
    return;
  }
  settingText(line, setting, sizeof setting);
  volumeText(&line->volume, volume, sizeof volume);
  snprintf(type, sizeof type, "%s (0x%04X)",
           componentTypeName(line->componentType),
           (unsigned)line->componentType);
  fprintf(out, "%c%4s  %-9s %-30s %2u  %-8s  %-8s  %s\n", selected ? '*' : ' ',
          setting, label, type, (unsigned)line->channels, volume,
          muteText(&line->mute), line->name);
  printLineErrors(out, line, label);
}

/* Why the volume commands would fail with the current setting, if so. */
static void printSelectionNote(FILE *out, const LinesListing *listing,
                               const LineReport *selected) {
  uint32_t wanted = componentTypeFromSetting(listing->componentTypeSetting);
  if (!selected)
    fprintf(out,
            "\nVolComponentType=%d selects the first %s (0x%04X) line; mixer "
            "device 0 has none, so the volume commands fail.\n",
            (int)listing->componentTypeSetting, componentTypeName(wanted),
            (unsigned)wanted);
  else if (selected->volume.state == CONTROL_ABSENT)
    fprintf(out, "\nThe selected line has no volume control, so the volume "
                 "commands fail.\n");
}

void printLinesListing(FILE *out, const LinesListing *listing) {
  uint32_t wanted = componentTypeFromSetting(listing->componentTypeSetting);
  fprintf(out, "mixer device 0  %s, %u destination%s\n", listing->deviceName,
          (unsigned)listing->destinations,
          listing->destinations == 1 ? "" : "s");
  fprintf(out, "settings        %s%s: VolComponentType=%d, %s (0x%04X)\n\n",
          listing->settingsPath[0] ? listing->settingsPath : "(none)",
          listing->settingsPath[0] && !listing->settingsFileFound
              ? " (no such file)"
              : "",
          (int)listing->componentTypeSetting, componentTypeName(wanted),
          (unsigned)wanted);
  fprintf(out, "value  line      type                           ch  volume    "
               "mute      name\n");
  const LineReport *selected = selectedLine(listing);
  for (unsigned k = 0; k < listing->lineCount; k++)
    printLine(out, &listing->lines[k], &listing->lines[k] == selected);
  if (listing->linesNotShown)
    fprintf(out, "    ... and %u more lines, not shown\n",
            listing->linesNotShown);
  printSelectionNote(out, listing, selected);
  fputs("\n* the line the volume commands change now. (n): n selects an "
        "earlier line of\nthe same type instead. -: no value selects it. "
        "Mute always acts on the first\nspeakers line.\n",
        out);
}

/* ---- Reading ------------------------------------------------------------- */

/* A line into the listing, or only counted once the listing is full. */
static void addLine(LinesListing *listing, LineReport *lines,
                    uint32_t destination, int32_t source) {
  if (listing->lineCount == LISTED_LINES_MAX) {
    listing->linesNotShown++;
    return;
  }
  LineReport *line = &lines[listing->lineCount++];
  memset(line, 0, sizeof *line);
  line->destination = destination;
  line->source = source;
  hostReadMixerLine(destination, source, line);
}

/* The lines go into one list, each destination followed by its sources. */
static void readLines(void *context) {
  static LineReport lines[LISTED_LINES_MAX];
  LinesListing *listing = (LinesListing *)context;
  listing->lines = lines;
  for (uint32_t d = 0; d < listing->destinations; d++) {
    unsigned at = listing->lineCount;
    addLine(listing, lines, d, LINE_IS_DESTINATION);
    /* A destination that does not answer has no sources to ask for. */
    uint32_t sources =
        at < listing->lineCount && lines[at].answered ? lines[at].sources : 0;
    for (uint32_t s = 0; s < sources; s++)
      addLine(listing, lines, d, (int32_t)s);
  }
}

/* The setting as the plug-in reads it from the file beside it, then the
 * device. */
static int openMixerDevice(void *plugin, const char *path, void *context,
                           char *reason, size_t reasonSize) {
  static char settingsPath[4096];
  LinesListing *listing = (LinesListing *)context;
  hostSettingsPath(plugin, path, settingsPath, sizeof settingsPath);
  listing->settingsPath = settingsPath;
  /* A misnamed or misplaced settings file is a common reason why a
   * setting seems to be ignored. */
  FILE *settingsFile = settingsPath[0] ? fopen(settingsPath, "rb") : nullptr;
  listing->settingsFileFound = settingsFile != nullptr;
  if (settingsFile)
    fclose(settingsFile);
  listing->componentTypeSetting =
      pluginSetting(SETTING_COMPONENT_TYPE, settingsPath);
  return hostOpenMixerDevice(plugin, listing->deviceName,
                             sizeof listing->deviceName, &listing->destinations,
                             reason, reasonSize);
}

static void printLines(FILE *out, const void *listing) {
  printLinesListing(out, (const LinesListing *)listing);
}

const ListingSteps LINES_LISTING = {"no mixer device 0", openMixerDevice,
                                    readLines, hostCloseMixerDevice,
                                    printLines};

int listMixerLines(const char *path) {
  LinesListing listing = {};
  return printListing(path, &LINES_LISTING, &listing);
}
