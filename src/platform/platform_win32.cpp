/*
 * The platform operations on Windows: winmm's mixer, kernel32's profile
 * reader and module name, version.dll and user32.
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

MixerResult platformMixerRead(MixerHandle handle, uint32_t controlId,
                              uint32_t channels, uint32_t *values) {
  MIXERCONTROLDETAILS details = valueDetails(controlId, channels, values);
  return mixerGetControlDetailsA(mixerObject(handle), &details,
                                 MIXER_OBJECTF_HMIXER |
                                     MIXER_GETCONTROLDETAILSF_VALUE);
}

MixerResult platformMixerWrite(MixerHandle handle, uint32_t controlId,
                               uint32_t channels, const uint32_t *values) {
  MIXERCONTROLDETAILS details =
      valueDetails(controlId, channels, (void *)values);
  return mixerSetControlDetails(mixerObject(handle), &details,
                                MIXER_OBJECTF_HMIXER |
                                    MIXER_SETCONTROLDETAILSF_VALUE);
}

int32_t platformProfileInt(const char *section, const char *key,
                           int32_t defaultValue, const char *path) {
  return (int32_t)GetPrivateProfileIntA(section, key, defaultValue, path);
}

uint32_t platformModuleFileName(void *module, char *buffer, uint32_t size) {
  return GetModuleFileNameA((HMODULE)module, buffer, size);
}

/* The fixed part of a version resource, when the block VerQueryValueA
 * found is large enough and carries the fixed part's signature. */
static int readFixedVersion(void *data, uint32_t *versionMS,
                            uint32_t *versionLS) {
  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data, "\\", (void **)&fixed, &length))
    return 0;
  if (!fixed || length < sizeof *fixed || fixed->dwSignature != 0xFEEF04BD)
    return 0;
  *versionMS = fixed->dwFileVersionMS;
  *versionLS = fixed->dwFileVersionLS;
  return 1;
}

int platformFileVersion(const char *fileName, uint32_t *versionMS,
                        uint32_t *versionLS) {
  DWORD size = GetFileVersionInfoSizeA(fileName, nullptr);
  if (size == 0)
    return 0;
  void *data = platformAlloc(size);
  if (!data)
    return 0;
  int found = GetFileVersionInfoA(fileName, 0, size, data) &&
              readFixedVersion(data, versionMS, versionLS);
  platformFree(data);
  return found;
}

void *platformAlloc(size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

void platformFree(void *block) {
  if (block)
    HeapFree(GetProcessHeap(), 0, block);
}

WindowHandle platformFindWindow(const char *className, const char *title) {
  return (WindowHandle)FindWindowA(className, title);
}

WindowHandle platformFindChildWindow(WindowHandle parent, const char *className,
                                     const char *title) {
  return (WindowHandle)FindWindowExA((HWND)parent, nullptr, className, title);
}

void platformSendMessage(WindowHandle window, uint32_t message,
                         uintptr_t wParam, intptr_t lParam) {
  SendMessageA((HWND)window, message, wParam, lParam);
}
