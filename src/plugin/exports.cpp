/*
 * The functions the host calls. Each one hands its arguments to one
 * function of the plug-in and returns what that gives.
 */
#include "plugin/commands.h"
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

/* The mixer stays open: the handle goes when the process or library does. */
void KST_API KSTEvent_Unload(void) {}

int32_t KST_API KSTEvent_Execute(int32_t commandId, uint32_t) {
  return dispatchCommand(commandId);
}

void KST_API KSTEvent_WindowsHook(uint32_t, uint32_t, uint32_t) {}

} /* extern "C" */
