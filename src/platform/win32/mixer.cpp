/*
 * The mixer operations on Windows: winmm's mixer device 0.
 */
#include <windows.h>

#include <mmsystem.h>

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

/* Our records are passed to winmm as they are. */
static_assert(sizeof(MixerCaps) == sizeof(MIXERCAPSA), "MIXERCAPSA size");
static_assert(offsetof(MixerCaps, productName) == offsetof(MIXERCAPSA, szPname),
              "MIXERCAPSA.szPname");
static_assert(offsetof(MixerCaps, destinations) ==
                  offsetof(MIXERCAPSA, cDestinations),
              "MIXERCAPSA.cDestinations");
/* winmm's records are byte-packed on Windows; the headers must agree. The
 * 64-bit build (for the tests under 64-bit Wine) has 8-byte pointers and
 * DWORD_PTRs in them. */
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(MIXERLINEA) == 168, "MIXERLINEA size");
static_assert(sizeof(MIXERLINECONTROLSA) == 24, "MIXERLINECONTROLSA size");
static_assert(sizeof(MIXERCONTROLDETAILS) == 24, "MIXERCONTROLDETAILS size");
#else
static_assert(sizeof(MIXERLINEA) == 172, "MIXERLINEA size");
static_assert(sizeof(MIXERLINECONTROLSA) == 28, "MIXERLINECONTROLSA size");
static_assert(sizeof(MIXERCONTROLDETAILS) == 32, "MIXERCONTROLDETAILS size");
#endif
static_assert(sizeof(MIXERCONTROLA) == 148, "MIXERCONTROLA size");

/* Wine numbers mixer handles with a counter of the process that runs over
 * into the device number: from the 257th open in one process the handle
 * names another device, from the 513th none, however many were closed. A
 * host that reloads the plug-in gets there. Such a handle is closed again,
 * and the calls then name device 0 by its number instead, which needs no
 * handle. On Windows every handle names device 0. */
static const MixerHandle DEVICE_0_BY_NUMBER = ~(MixerHandle)0;
static const UINT DEVICE_0 = 0;

static HMIXEROBJ mixerObject(MixerHandle handle) {
  if (handle == DEVICE_0_BY_NUMBER)
    return (HMIXEROBJ)(UINT_PTR)DEVICE_0;
  return (HMIXEROBJ)handle;
}

/* MIXER_OBJECTF_HMIXER or MIXER_OBJECTF_MIXER, whichever names it. */
static DWORD objectKind(MixerHandle handle) {
  return handle == DEVICE_0_BY_NUMBER ? MIXER_OBJECTF_MIXER
                                      : MIXER_OBJECTF_HMIXER;
}

static int namesDevice0(HMIXER mixer) {
  UINT device = DEVICE_0 + 1;
  return mixerGetID((HMIXEROBJ)mixer, &device, MIXER_OBJECTF_HMIXER) ==
             MMSYSERR_NOERROR &&
         device == DEVICE_0;
}

MixerResult platformMixerOpen(MixerHandle *handle) {
  HMIXER mixer = nullptr;
  MMRESULT result = mixerOpen(&mixer, DEVICE_0, 0, 0, 0);
  *handle = (MixerHandle)mixer;
  if (result == MMSYSERR_NOERROR && !namesDevice0(mixer)) {
    mixerClose(mixer);
    *handle = DEVICE_0_BY_NUMBER;
  }
  return result;
}

MixerResult platformMixerGetCaps(MixerHandle handle, MixerCaps *caps) {
  return mixerGetDevCapsA((UINT_PTR)mixerObject(handle), (MIXERCAPSA *)caps,
                          sizeof(MIXERCAPSA));
}

MixerResult platformMixerFindLine(MixerHandle handle, uint32_t componentType,
                                  MixerLine *line) {
  MIXERLINEA info = {};
  info.cbStruct = sizeof info;
  info.dwComponentType = componentType;
  MMRESULT result =
      mixerGetLineInfoA(mixerObject(handle), &info,
                        objectKind(handle) | MIXER_GETLINEINFOF_COMPONENTTYPE);
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
                                          objectKind(handle) |
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
  MIXERCONTROLDETAILS details =
      valueDetails(control->controlId, channels, values);
  return mixerGetControlDetailsA(mixerObject(handle), &details,
                                 objectKind(handle) |
                                     MIXER_GETCONTROLDETAILSF_VALUE);
}

MixerResult platformMixerWrite(MixerHandle handle, const MixerControl *control,
                               uint32_t channels, const uint32_t *values) {
  MIXERCONTROLDETAILS details =
      valueDetails(control->controlId, channels, (void *)values);
  return mixerSetControlDetails(mixerObject(handle), &details,
                                objectKind(handle) |
                                    MIXER_SETCONTROLDETAILSF_VALUE);
}

MixerResult platformMixerClose(MixerHandle handle) {
  if (handle == DEVICE_0_BY_NUMBER)
    return MMSYSERR_NOERROR;
  return mixerClose((HMIXER)handle);
}
