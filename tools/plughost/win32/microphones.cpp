/*
 * The default recording devices, read through the host kit's own Core
 * Audio calls, their names as UTF-8.
 */
#include "hostkit/hostkit.h"
#include "plughost/plughost.h"

int hostReadMicrophones(void *, MicrophoneView *views, int size) {
  RecordingDeviceView devices[2];
  int count = kitReadRecordingDevices(devices, size < 2 ? size : 2);
  for (int k = 0; k < count; k++) {
    if (!kitWideToUtf8(devices[k].name, views[k].name, sizeof views[k].name))
      lstrcpyA(views[k].name, "?");
    views[k].muted = devices[k].muted;
  }
  return count;
}
