/*
 * A library that passes for a plug-in but has no mixer, no taskbar and no
 * information record: its commands all report success and do nothing.
 * Built a second time without two of the exports, it is a library that
 * the host must refuse.
 */
#include "plugin/plugin.h"

extern "C" {

PluginInfo *KST_API KSTEvent_InitPluginInfo(const char *) { return nullptr; }

void KST_API KSTEvent_FreePluginInfo(PluginInfo *) {}

int32_t KST_API KSTEvent_Init(const char *, uint32_t) { return 1; }

int32_t KST_API KSTEvent_Execute(int32_t, uint32_t) { return 1; }

#ifndef HOST_STUB_INCOMPLETE
void KST_API KSTEvent_Unload(void) {}

void KST_API KSTEvent_WindowsHook(uint32_t, uint32_t, uint32_t) {}
#endif

} /* extern "C" */
