/*
 * `plughost lines` off Windows: the mixer of the sim inside the loaded
 * plug-in, read through the controls it exports, and the settings file
 * read with the sim's profile reader, as the plug-in reads it.
 *
 * The sim keeps a plain list of lines found by component type; here
 * the output types are its destinations, in order, and the input types
 * the sources of its first destination, as on a typical sound card.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/posix/sim.h"
#include "platform/platform.h"
#include "plughost/lines.h"
#include "sim/sim.h"

static decltype(&simMixerLineAt) lineAt;
static decltype(&simMixerLine) firstLineOfType;

static int isSourceType(const SimLine *line) {
  return line->componentType >= MIXER_COMPONENT_SRC_FIRST;
}

/* The index-th line of the sim of one kind (destination or source). */
static const SimLine *nthLine(int sources, uint32_t index, unsigned *at) {
  for (unsigned k = 0; const SimLine *line = lineAt(k); k++)
    if (isSourceType(line) == sources && index-- == 0) {
      *at = k;
      return line;
    }
  return nullptr;
}

static uint32_t countLines(int sources) {
  uint32_t count = 0;
  for (unsigned k = 0; const SimLine *line = lineAt(k); k++)
    count += isSourceType(line) == sources;
  return count;
}

int hostOpenMixerDevice(void *plugin, char *name, size_t nameSize,
                        uint32_t *destinations, char *reason,
                        size_t reasonSize) {
  if (!kitFindSim(plugin, "simMixerLineAt", &lineAt) ||
      !kitFindSim(plugin, "simMixerLine", &firstLineOfType)) {
    snprintf(reason, reasonSize, "the library was not built with the sim");
    return 0;
  }
  snprintf(name, nameSize, "the sim's mixer");
  *destinations = countLines(0);
  return 1;
}

void hostCloseMixerDevice(void) {
  lineAt = nullptr;
  firstLineOfType = nullptr;
}

static void readVolume(const SimLine *line, ControlReport *volume) {
  volume->state = !line->hasVolume       ? CONTROL_ABSENT
                  : line->reportsNothing ? CONTROL_NO_VALUE
                                         : CONTROL_READ;
  volume->minimum = line->minimum;
  volume->maximum = line->maximum;
  volume->value = simUniformLevel(line);
}

void hostReadMixerLine(uint32_t destination, int32_t source,
                       LineReport *report) {
  int isSource = source != LINE_IS_DESTINATION;
  unsigned at = 0;
  const SimLine *line = isSource && destination == 0
                            ? nthLine(1, (uint32_t)source, &at)
                        : isSource ? nullptr
                                   : nthLine(0, destination, &at);
  report->answered = line != nullptr;
  report->error = line ? 0 : SIM_MIXERR_INVALLINE;
  if (!line)
    return;
  snprintf(report->name, sizeof report->name, "sim line %u", at);
  report->componentType = line->componentType;
  report->channels = line->channels;
  report->sources = destination == 0 && !isSource ? countLines(1) : 0;
  report->firstOfItsType = firstLineOfType(line->componentType) == line;
  readVolume(line, &report->volume);
  report->mute.state = !line->hasMute         ? CONTROL_ABSENT
                       : line->reportsNothing ? CONTROL_NO_VALUE
                                              : CONTROL_READ;
  report->mute.value = line->mute;
}
