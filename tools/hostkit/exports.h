/*
 * The host kit's portable part: the plug-in's six exports found by name,
 * as the host finds them, over the one platform call that looks up an
 * export (GetProcAddress on Windows, dlsym elsewhere). Shared by plughost
 * on every platform, the Windows tests and the benchmarks.
 */
#ifndef VOLUME_HOSTKIT_EXPORTS_H
#define VOLUME_HOSTKIT_EXPORTS_H

#include "plugin/plugin.h"

/* The exports with the types and calling convention the plug-in declares
 * them with: every one pops its own arguments. */
typedef decltype(&KSTEvent_Execute) ExecuteFunction;
typedef decltype(&KSTEvent_FreePluginInfo) FreePluginInfoFunction;
typedef decltype(&KSTEvent_Init) InitFunction;
typedef decltype(&KSTEvent_InitPluginInfo) InitPluginInfoFunction;
typedef decltype(&KSTEvent_Unload) UnloadFunction;
typedef decltype(&KSTEvent_WindowsHook) WindowsHookFunction;

struct PluginExports {
  ExecuteFunction execute;
  FreePluginInfoFunction freePluginInfo;
  InitFunction init;
  InitPluginInfoFunction initPluginInfo;
  UnloadFunction unload;
  WindowsHookFunction windowsHook;
};

enum { PLUGIN_EXPORT_COUNT = 6 };

/* The names of the exports a library lacks, in the order looked up. */
struct MissingExports {
  int count;
  const char *names[PLUGIN_EXPORT_COUNT];
};

/* Any exported function before it is given its real type. */
typedef void (*ExportAddress)(void);

/* The platform part: an export of a loaded library by its undecorated
 * name, or null. */
ExportAddress kitFindExport(void *library, const char *name);

/* All six exports; every one missing is named, not just the first.
 * Returns 1 when none is missing. */
int kitFindExports(void *library, PluginExports *exports,
                   MissingExports *missing);

#endif
