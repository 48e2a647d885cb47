/*
 * `plughost lines`: the lines of mixer device 0 as the plug-in can choose
 * them with VolComponentType.
 *
 * The platform part reads the device (winmm on Windows, the sim's mixer
 * inside the plug-in elsewhere) into plain reports; the portable part
 * (lines.cpp) works out which VolComponentType value selects each line,
 * by the plug-in's own mapping (src/mixer/component_type.cpp), and prints
 * the listing.
 */
#ifndef PLUGHOST_LINES_H
#define PLUGHOST_LINES_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "mixer/component_type.h"
#include "plughost/plughost.h"

enum {
  LINE_NAME_SIZE = 96,      /* a line's or device's name, as UTF-8 */
  LINE_IS_DESTINATION = -1, /* the source index of a destination line */
  LISTED_LINES_MAX = 64     /* lines listed; more are counted, not shown */
};

/* How a line's volume or mute control answered. */
enum ControlState {
  CONTROL_ABSENT,   /* the line has no such control */
  CONTROL_FAILED,   /* looking it up or reading it failed: see error */
  CONTROL_NO_VALUE, /* the read succeeded but filled nothing in */
  CONTROL_READ      /* value holds what was read */
};

struct ControlReport {
  ControlState state;
  uint32_t error;   /* the mixer's code, for CONTROL_FAILED */
  uint32_t value;   /* read as one uniform value */
  uint32_t minimum; /* bounds, for the volume */
  uint32_t maximum;
};

struct LineReport {
  uint32_t destination; /* index of the destination (for a source: its own) */
  int32_t source;       /* index among its sources, or LINE_IS_DESTINATION */
  int answered;         /* 0: the line could not be read; see error */
  uint32_t error;       /* the mixer's code when not answered */
  char name[LINE_NAME_SIZE];
  uint32_t componentType; /* dwComponentType */
  uint32_t channels;      /* cChannels */
  uint32_t sources;       /* cConnections, for a destination */
  int firstOfItsType;     /* a look-up by its component type finds it */
  ControlReport volume;
  ControlReport mute;
};

struct LinesListing {
  char deviceName[LINE_NAME_SIZE];
  uint32_t destinations;
  const char *settingsPath;     /* where VolComponentType was read */
  int settingsFileFound;        /* whether that file exists */
  int32_t componentTypeSetting; /* as the plug-in reads it */
  const LineReport *lines;
  unsigned lineCount;
  unsigned linesNotShown; /* beyond LISTED_LINES_MAX */
};

/* ---- Portable part ----------------------------------------------------- */

/* `plughost lines <plugin>`. */
int listMixerLines(const char *path);
/* Its steps, over a LinesListing. */
extern const ListingSteps LINES_LISTING;

/* The VolComponentType value that selects a component type; -1 when no
 * value does. */
int32_t settingOfComponentType(uint32_t componentType);
/* "speakers", "wave-out source", ...; "unknown" outside winmm's table. */
const char *componentTypeName(uint32_t componentType);
/* winmm's name for a mixer error code, or "unknown error". */
const char *mixerErrorName(uint32_t error);

void printLinesListing(FILE *out, const LinesListing *listing);

/* ---- Platform part ----------------------------------------------------- */

/* Opens mixer device 0 as the loaded plug-in sees it; 0, with the reason,
 * when there is none. */
int hostOpenMixerDevice(void *plugin, char *name, size_t nameSize,
                        uint32_t *destinations, char *reason,
                        size_t reasonSize);
/* One line: a destination (source LINE_IS_DESTINATION) or one source of a
 * destination. Fills in the report; a line that does not answer gets
 * answered 0 and the error. */
void hostReadMixerLine(uint32_t destination, int32_t source, LineReport *line);
void hostCloseMixerDevice(void);

#endif
