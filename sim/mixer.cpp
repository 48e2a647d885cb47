/*
 * The sim's mixer device 0: lines found by component type, a volume and
 * a mute control per line, per-channel values within bounds, and winmm's
 * error codes. Tests shape it and make its operations fail.
 */
#include <cstring>

#include "platform/platform.h"
#include "sim/sim.h"

static const uint32_t FIRST_HANDLE = 0xC000;
static const uint32_t FIRST_LINE_ID = 0xFFFF0000u;

static SimLine lines[SIM_MAX_LINES];
static unsigned lineCount;
static int devicePresent = 1;
static MixerResult faults[SIM_MIXER_OPS];
static unsigned calls[SIM_MIXER_OPS];
/* Which handles are open. A closed one may be handed out again; like a
 * real system, the device runs out of handles when none are closed. */
static unsigned char handleOpen[SIM_MAX_HANDLES];
static SimMixerWrite lastWrite;
static int written;

static void shapeDefaultLine(SimLine *line, uint32_t componentType,
                             uint32_t channels) {
  memset(line, 0, sizeof *line);
  line->componentType = componentType;
  line->channels = channels;
  line->hasVolume = 1;
  line->maximum = 0xFFFF;
  line->hasMute = 1;
}

void simMixerReset(void) {
  lineCount = 0;
  simMixerAddLine(MIXER_COMPONENT_DST_SPEAKERS, 2);
  devicePresent = 1;
  memset(faults, 0, sizeof faults);
  simMixerClearCalls();
  memset(handleOpen, 0, sizeof handleOpen);
}

SimLine *simMixerAddLine(uint32_t componentType, uint32_t channels) {
  if (lineCount == SIM_MAX_LINES)
    return nullptr;
  SimLine *line = &lines[lineCount++];
  shapeDefaultLine(line, componentType, channels);
  return line;
}

SimLine *simMixerLine(uint32_t componentType) {
  for (unsigned i = 0; i < lineCount; i++)
    if (lines[i].componentType == componentType)
      return &lines[i];
  return nullptr;
}

SimLine *simMixerLineAt(unsigned index) {
  return index < lineCount ? &lines[index] : nullptr;
}

void simMixerRemoveLines(void) { lineCount = 0; }
void simMixerSetPresent(int present) { devicePresent = present; }
void simMixerFail(SimMixerOp op, MixerResult error) { faults[op] = error; }
unsigned simMixerCalls(SimMixerOp op) { return calls[op]; }
void simMixerClearCalls(void) {
  memset(calls, 0, sizeof calls);
  written = 0;
}
const SimMixerWrite *simMixerLastWrite(void) {
  return written ? &lastWrite : nullptr;
}
unsigned simMixerOpenHandles(void) {
  unsigned open = 0;
  for (unsigned i = 0; i < SIM_MAX_HANDLES; i++)
    open += handleOpen[i];
  return open;
}

/* Counts the call and returns the injected fault, if any. */
static MixerResult enter(SimMixerOp op) {
  calls[op]++;
  return faults[op];
}

static int validHandle(MixerHandle handle) {
  return handle >= FIRST_HANDLE && handle < FIRST_HANDLE + SIM_MAX_HANDLES &&
         handleOpen[handle - FIRST_HANDLE];
}

/* Control ids: 2 × line index for volume, 2 × line index + 1 for mute. */
static SimLine *lineOfControl(uint32_t controlId) {
  uint32_t index = controlId / 2;
  if (index >= lineCount)
    return nullptr;
  SimLine *line = &lines[index];
  return (controlId % 2 ? line->hasMute : line->hasVolume) ? line : nullptr;
}

MixerResult platformMixerOpen(MixerHandle *handle) {
  MixerResult fault = enter(SIM_MIXER_OPEN);
  if (fault)
    return fault;
  if (!devicePresent)
    return SIM_MMSYSERR_BADDEVICEID;
  unsigned slot = 0;
  while (slot < SIM_MAX_HANDLES && handleOpen[slot])
    slot++;
  if (slot == SIM_MAX_HANDLES)
    return SIM_MMSYSERR_NOMEM;
  handleOpen[slot] = 1;
  *handle = FIRST_HANDLE + slot;
  return 0;
}

MixerResult platformMixerClose(MixerHandle handle) {
  MixerResult fault = enter(SIM_MIXER_CLOSE);
  if (fault)
    return fault;
  if (!validHandle(handle))
    return SIM_MMSYSERR_INVALHANDLE;
  handleOpen[handle - FIRST_HANDLE] = 0;
  return 0;
}

MixerResult platformMixerGetCaps(MixerHandle handle, MixerCaps *caps) {
  MixerResult fault = enter(SIM_MIXER_CAPS);
  if (fault)
    return fault;
  if (!validHandle(handle))
    return SIM_MMSYSERR_INVALHANDLE;
  memset(caps, 0, sizeof *caps);
  strcpy(caps->productName, "Simulated mixer");
  caps->destinations = lineCount;
  return 0;
}

MixerResult platformMixerFindLine(MixerHandle handle, uint32_t componentType,
                                  MixerLine *line) {
  MixerResult fault = enter(SIM_MIXER_LINE);
  if (fault)
    return fault;
  if (!validHandle(handle))
    return SIM_MMSYSERR_INVALHANDLE;
  SimLine *found = simMixerLine(componentType);
  if (!found)
    return SIM_MIXERR_INVALLINE;
  line->lineId = FIRST_LINE_ID + (uint32_t)(found - lines);
  line->channels = found->channels;
  return 0;
}

MixerResult platformMixerFindControl(MixerHandle handle, uint32_t lineId,
                                     uint32_t controlType,
                                     MixerControl *control) {
  MixerResult fault = enter(SIM_MIXER_CONTROL);
  if (fault)
    return fault;
  if (!validHandle(handle))
    return SIM_MMSYSERR_INVALHANDLE;
  uint32_t index = lineId - FIRST_LINE_ID;
  if (index >= lineCount)
    return SIM_MIXERR_INVALLINE;
  SimLine *line = &lines[index];
  int isMute = controlType == MIXER_CONTROL_MUTE;
  if (isMute ? !line->hasMute
             : controlType != MIXER_CONTROL_VOLUME || !line->hasVolume)
    return SIM_MIXERR_INVALCONTROL;
  control->controlId = 2 * index + (isMute ? 1 : 0);
  control->controlType = controlType;
  control->minimum = isMute ? 0 : line->minimum;
  control->maximum = isMute ? 1 : line->maximum;
  return 0;
}

/* Counts a read or write and checks its details: the handle, the control,
 * and a channel count of 1 (the control read as one uniform value) or at
 * most the line's channels. Returns the control's line, or null with the
 * error set. */
static SimLine *enterDetails(SimMixerOp op, MixerHandle handle,
                             uint32_t controlId, uint32_t channels,
                             MixerResult *error) {
  *error = enter(op);
  if (*error)
    return nullptr;
  SimLine *line = validHandle(handle) ? lineOfControl(controlId) : nullptr;
  if (!validHandle(handle))
    *error = SIM_MMSYSERR_INVALHANDLE;
  else if (!line)
    *error = SIM_MIXERR_INVALCONTROL;
  else if (channels == 0 || (channels > 1 && channels > line->channels))
    *error = SIM_MMSYSERR_INVALPARAM;
  return *error ? nullptr : line;
}

/* The driver's own read: values it does not report stay as they were. */
static MixerResult readDriver(MixerHandle handle, uint32_t controlId,
                              uint32_t channels, uint32_t *values) {
  MixerResult error;
  SimLine *line =
      enterDetails(SIM_MIXER_READ, handle, controlId, channels, &error);
  if (!line)
    return error;
  if (line->reportsNothing)
    return 0;
  if (controlId % 2) {
    values[0] = line->mute;
    return 0;
  }
  if (channels == 1 || line->firstChannelOnly) {
    values[0] = simUniformLevel(line);
    return 0;
  }
  memcpy(values, line->levels, channels * sizeof *values);
  return 0;
}

MixerResult platformMixerRead(MixerHandle handle, const MixerControl *control,
                              uint32_t channels, uint32_t *values) {
  return readDriver(handle, control->controlId, channels, values);
}

static void recordWrite(const SimLine *line, uint32_t controlId,
                        uint32_t channels, const uint32_t *values) {
  int isMute = controlId % 2;
  lastWrite.controlType = isMute ? MIXER_CONTROL_MUTE : MIXER_CONTROL_VOLUME;
  lastWrite.minimum = isMute ? 0 : line->minimum;
  lastWrite.maximum = isMute ? 1 : line->maximum;
  lastWrite.channels =
      channels < SIM_MAX_CHANNELS ? channels : (uint32_t)SIM_MAX_CHANNELS;
  memcpy(lastWrite.values, values, lastWrite.channels * sizeof *values);
  written = 1;
}

MixerResult platformMixerWrite(MixerHandle handle, const MixerControl *control,
                               uint32_t channels, const uint32_t *values) {
  uint32_t controlId = control->controlId;
  MixerResult error;
  SimLine *line =
      enterDetails(SIM_MIXER_WRITE, handle, controlId, channels, &error);
  if (!line)
    return error;
  recordWrite(line, controlId, channels, values);
  if (controlId % 2) {
    line->mute = values[0];
    return 0;
  }
  int uniform = channels == 1 || line->firstChannelOnly;
  uint32_t count = uniform ? line->channels : channels;
  for (uint32_t i = 0; i < count && i < SIM_MAX_CHANNELS; i++)
    line->levels[i] = uniform ? values[0] : values[i];
  return 0;
}

/* Loaded with the default device, like a machine with one sound card. */
[[maybe_unused]] static const int shapedAtLoad = (simMixerReset(), 1);
