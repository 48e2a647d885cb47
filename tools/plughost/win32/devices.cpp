/*
 * `plughost devices` on Windows: every endpoint of both flows in every
 * state, through plughost's own Core Audio calls (the enumerator, each
 * device's property store), written out here rather than borrowed from
 * the plug-in, so that the listing can show where the plug-in goes wrong.
 */
#define CINTERFACE
#define COBJMACROS
#include <windows.h>

#include <objbase.h>

#include <mmdeviceapi.h>

#include "hostkit/hostkit.h"
#include "platform/win32/core_audio_ids.h"
#include "plughost/devices.h"

static HRESULT entered = E_FAIL;
static IMMDeviceEnumerator *enumerator = nullptr;

int hostOpenDevices(void *, char *reason, size_t reasonSize) {
  entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HRESULT result = entered;
  if (SUCCEEDED(entered) || entered == RPC_E_CHANGED_MODE)
    result =
        CoCreateInstance(DEVICE_ENUMERATOR_CLASS, nullptr, CLSCTX_INPROC_SERVER,
                         DEVICE_ENUMERATOR_INTERFACE, (void **)&enumerator);
  if (SUCCEEDED(result))
    return 1;
  snprintf(reason, reasonSize, "Core Audio refused: 0x%08lX",
           (unsigned long)result);
  hostCloseDevices();
  return 0;
}

void hostCloseDevices(void) {
  if (enumerator)
    IMMDeviceEnumerator_Release(enumerator);
  enumerator = nullptr;
  if (SUCCEEDED(entered))
    CoUninitialize();
  entered = E_FAIL;
}

static void readId(IMMDevice *device, char *id, size_t size) {
  LPWSTR text = nullptr;
  id[0] = '\0';
  if (SUCCEEDED(IMMDevice_GetId(device, &text)) && text)
    kitWideToUtf8(text, id, size);
  CoTaskMemFree(text);
}

static void readName(IMMDevice *device, char *name, size_t size) {
  WCHAR wide[256];
  name[0] = '\0';
  if (kitDeviceName(device, wide, sizeof wide / sizeof wide[0]))
    kitWideToUtf8(wide, name, size);
}

static void readDevice(IMMDevice *device, int flow, DeviceReport *report) {
  *report = DeviceReport();
  report->flow = flow;
  DWORD state = 0;
  if (SUCCEEDED(IMMDevice_GetState(device, &state)))
    report->state = state;
  readName(device, report->name, sizeof report->name);
  readId(device, report->id, sizeof report->id);
}

/* One flow's devices in every state, in the enumerator's order. */
static int readFlow(EDataFlow flow, DeviceReport *reports, unsigned max,
                    unsigned *count, unsigned *notShown) {
  IMMDeviceCollection *collection = nullptr;
  UINT found = 0;
  HRESULT result = IMMDeviceEnumerator_EnumAudioEndpoints(
      enumerator, flow, DEVICE_STATEMASK_ALL, &collection);
  if (SUCCEEDED(result))
    result = IMMDeviceCollection_GetCount(collection, &found);
  int complete = SUCCEEDED(result);
  for (UINT d = 0; complete && d < found; d++) {
    IMMDevice *device = nullptr;
    if (FAILED(IMMDeviceCollection_Item(collection, d, &device)) || !device) {
      complete = 0;
      continue;
    }
    if (*count < max)
      readDevice(device, flow == eCapture, &reports[(*count)++]);
    else
      ++*notShown;
    IMMDevice_Release(device);
  }
  if (collection)
    IMMDeviceCollection_Release(collection);
  return complete;
}

int hostReadDevices(DeviceReport *reports, unsigned max, unsigned *count,
                    unsigned *notShown) {
  *count = *notShown = 0;
  int complete = readFlow(eRender, reports, max, count, notShown);
  return readFlow(eCapture, reports, max, count, notShown) && complete;
}

int hostDefaultDevice(int flow, int role, char *id, size_t size) {
  IMMDevice *device = nullptr;
  id[0] = '\0';
  if (FAILED(IMMDeviceEnumerator_GetDefaultAudioEndpoint(
          enumerator, (EDataFlow)flow, (ERole)role, &device)) ||
      !device)
    return 0;
  readId(device, id, size);
  IMMDevice_Release(device);
  return id[0] != '\0';
}
