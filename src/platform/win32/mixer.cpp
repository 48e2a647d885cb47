/*
 * The mixer operations on Windows: winmm's mixer device 0.
 */
#include <windows.h>

#include <mmsystem.h>

#include <cstddef>

#include "platform/platform.h"

/* Our records are passed to winmm as they are. */
static_assert(sizeof(MixerCaps) == sizeof(MIXERCAPSA), "MIXERCAPSA size");
static_assert(offsetof(MixerCaps, productName) == offsetof(MIXERCAPSA, szPname),
              "MIXERCAPSA.szPname");
static_assert(offsetof(MixerCaps, destinations) ==
                  offsetof(MIXERCAPSA, cDestinations),
              "MIXERCAPSA.cDestinations");
static_assert(sizeof(MIXERLINEA) == 168, "MIXERLINEA size");
static_assert(sizeof(MIXERLINECONTROLSA) == 24, "MIXERLINECONTROLSA size");
static_assert(sizeof(MIXERCONTROLA) == 148, "MIXERCONTROLA size");
static_assert(sizeof(MIXERCONTROLDETAILS) == 24, "MIXERCONTROLDETAILS size");
static_assert(MIXER_READ_UNREPORTED == MMSYSERR_ERROR, "MMSYSERR_ERROR");

static HMIXEROBJ mixerObject(MixerHandle handle) { return (HMIXEROBJ)handle; }

MixerResult platformMixerOpen(MixerHandle *handle) {
  HMIXER mixer = nullptr;
  MMRESULT result = mixerOpen(&mixer, 0, 0, 0, 0);
  *handle = (MixerHandle)mixer;
  return result;
}

MixerResult platformMixerGetCaps(MixerHandle handle, MixerCaps *caps) {
  return mixerGetDevCapsA((UINT_PTR)handle, (MIXERCAPSA *)caps,
                          sizeof(MIXERCAPSA));
}

MixerResult platformMixerFindLine(MixerHandle handle, uint32_t componentType,
                                  MixerLine *line) {
  MIXERLINEA info = {};
  info.cbStruct = sizeof info;
  info.dwComponentType = componentType;
  MMRESULT result = mixerGetLineInfoA(mixerObject(handle), &info,
                                      MIXER_OBJECTF_HMIXER |
                                          MIXER_GETLINEINFOF_COMPONENTTYPE);
  line->lineId = info.dwLineID;
  line->channels = info.cChannels;
  return result;
}

MixerResult platformMixerFindControl(MixerHandle handle, uint32_t lineId,
                                     uint32_t controlType,
                                     MixerControl *control) {
  MIXERCONTROLA found = {};
  found.cbStruct = sizeof found;
  MIXERLINECONTROLSA query = {};
  query.cbStruct = sizeof query;
  query.dwLineID = lineId;
  query.dwControlType = controlType;
  query.cControls = 1;
  query.cbmxctrl = sizeof found;
  query.pamxctrl = &found;
  MMRESULT result = mixerGetLineControlsA(mixerObject(handle), &query,
                                          MIXER_OBJECTF_HMIXER |
                                              MIXER_GETLINECONTROLSF_ONEBYTYPE);
  control->controlId = found.dwControlID;
  control->controlType = found.dwControlType;
  control->minimum = found.Bounds.dwMinimum;
  control->maximum = found.Bounds.dwMaximum;
  return result;
}

/* Volume (MIXERCONTROLDETAILS_UNSIGNED) and mute (..._BOOLEAN) values are
 * both one 32-bit word per channel. */
static MIXERCONTROLDETAILS valueDetails(uint32_t controlId, uint32_t channels,
                                        void *values) {
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = controlId;
  details.cChannels = channels;
  details.cMultipleItems = 0;
  details.cbDetails = sizeof(DWORD);
  details.paDetails = values;
  return details;
}

MixerResult platformMixerRead(MixerHandle handle, const MixerControl *control,
                              uint32_t channels, uint32_t *values) {
  markUnreportedValues(control, channels, values);
  MIXERCONTROLDETAILS details =
      valueDetails(control->controlId, channels, values);
  MMRESULT result = mixerGetControlDetailsA(mixerObject(handle), &details,
                                            MIXER_OBJECTF_HMIXER |
                                                MIXER_GETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR)
    return result;
  return fillUnreportedValues(control, channels, values) ? MMSYSERR_NOERROR
                                                         : MMSYSERR_ERROR;
}

MixerResult platformMixerWrite(MixerHandle handle, const MixerControl *control,
                               uint32_t channels, const uint32_t *values) {
  MIXERCONTROLDETAILS details =
      valueDetails(control->controlId, channels, (void *)values);
  return mixerSetControlDetails(mixerObject(handle), &details,
                                MIXER_OBJECTF_HMIXER |
                                    MIXER_SETCONTROLDETAILSF_VALUE);
}

MixerResult platformMixerClose(MixerHandle handle) {
  return mixerClose((HMIXER)handle);
}
