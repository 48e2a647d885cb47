/*
 * `plughost lines` on Windows: mixer device 0 read through winmm with a
 * handle of plughost's own, destination by destination and source by
 * source, and the settings file read with kernel32's profile reader, as
 * the plug-in reads them.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/hostkit.h"
#include "plughost/lines.h"

static HMIXER linesMixer;

/* Names come in the ANSI code page; the listing is UTF-8. */
static void ansiToUtf8(const char *text, char *utf8, size_t size) {
  WCHAR wide[LINE_NAME_SIZE];
  if (!MultiByteToWideChar(CP_ACP, 0, text, -1, wide, LINE_NAME_SIZE) ||
      !kitWideToUtf8(wide, utf8, size))
    snprintf(utf8, size, "(name not readable)");
}

int hostOpenMixerDevice(void *, char *name, size_t nameSize,
                        uint32_t *destinations, char *reason,
                        size_t reasonSize) {
  MMRESULT result = mixerOpen(&linesMixer, 0, 0, 0, 0);
  MIXERCAPSA caps = {};
  if (result == MMSYSERR_NOERROR)
    result = mixerGetDevCapsA(0, &caps, sizeof caps);
  if (result != MMSYSERR_NOERROR) {
    snprintf(reason, reasonSize, "error %u, %s", (unsigned)result,
             mixerErrorName(result));
    hostCloseMixerDevice();
    return 0;
  }
  ansiToUtf8(caps.szPname, name, nameSize);
  *destinations = caps.cDestinations;
  return 1;
}

void hostCloseMixerDevice(void) {
  if (linesMixer)
    mixerClose(linesMixer);
  linesMixer = nullptr;
}

static MMRESULT lineInfo(MIXERLINEA *line, DWORD how) {
  line->cbStruct = sizeof *line;
  return mixerGetLineInfoA((HMIXEROBJ)linesMixer, line,
                           MIXER_OBJECTF_HMIXER | how);
}

/* Whether the plug-in's look-up by component type finds this line. */
static int firstOfItsType(const MIXERLINEA *line) {
  MIXERLINEA byType = {};
  byType.dwComponentType = line->dwComponentType;
  return lineInfo(&byType, MIXER_GETLINEINFOF_COMPONENTTYPE) ==
             MMSYSERR_NOERROR &&
         byType.dwLineID == line->dwLineID;
}

/* The line's control of a type, read as one uniform value: Wine's wave-out
 * line reports success and fills in nothing. */
static void readControl(DWORD lineId, DWORD controlType,
                        ControlReport *report) {
  MIXERCONTROLA control;
  MMRESULT result = kitFindControl(linesMixer, lineId, controlType, &control);
  report->state =
      result == MIXERR_INVALCONTROL ? CONTROL_ABSENT : CONTROL_FAILED;
  report->error = result;
  if (result != MMSYSERR_NOERROR)
    return;
  report->minimum = control.Bounds.dwMinimum;
  report->maximum = control.Bounds.dwMaximum;
  uint32_t value = 0;
  int reported = 0;
  result = kitReadUniform(linesMixer, control.dwControlID, &value, &reported);
  report->error = result;
  report->value = value;
  report->state = result != MMSYSERR_NOERROR ? CONTROL_FAILED
                  : !reported                ? CONTROL_NO_VALUE
                                             : CONTROL_READ;
}

void hostReadMixerLine(uint32_t destination, int32_t source,
                       LineReport *report) {
  MIXERLINEA line = {};
  line.dwDestination = destination;
  line.dwSource = source == LINE_IS_DESTINATION ? 0 : (DWORD)source;
  MMRESULT result = lineInfo(&line, source == LINE_IS_DESTINATION
                                        ? MIXER_GETLINEINFOF_DESTINATION
                                        : MIXER_GETLINEINFOF_SOURCE);
  report->answered = result == MMSYSERR_NOERROR;
  report->error = result;
  if (!report->answered)
    return;
  ansiToUtf8(line.szName, report->name, sizeof report->name);
  report->componentType = line.dwComponentType;
  report->channels = line.cChannels;
  report->sources = line.cConnections;
  report->firstOfItsType = firstOfItsType(&line);
  readControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME, &report->volume);
  readControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, &report->mute);
}
