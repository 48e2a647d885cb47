/*
 * The functions the host calls. Each one hands its arguments to one
 * function of the plug-in and returns what that gives.
 */
#include "display/display.h"
#include "mixer/mixer.h"
#include "plugin/dispatch.h"
#include "plugin/plugin.h"
#include "plugin/plugin_info.h"
#include "plugin/settings.h"

extern "C" {

PluginInfo *KST_API KSTEvent_InitPluginInfo(const char *fileName) {
  return createPluginInfo(fileName);
}

void KST_API KSTEvent_FreePluginInfo(PluginInfo *info) {
  destroyPluginInfo(info);
}

int32_t KST_API KSTEvent_Init(const char *, uint32_t) {
  readStartupSettings();
  return 1;
}

/* The host is done with the plug-in: what it holds of the system is given
 * back here, not at process detach, where the loader lock is held (and the
 * display's thread could not be waited for). A command after this opens
 * the mixer again. */
void KST_API KSTEvent_Unload(void) {
  releaseMixer();
  closeDisplay();
}

int32_t KST_API KSTEvent_Execute(int32_t commandId, uint32_t) {
  return dispatchCommand(commandId, startupSettings());
}

void KST_API KSTEvent_WindowsHook(uint32_t, uint32_t, uint32_t) {}

} /* extern "C" */
