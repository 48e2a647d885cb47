/*
 * The plug-in's exports found by name, as the host finds them.
 */
#include "hostkit/exports.h"

template <typename Function>
static void findExport(void *library, const char *name, Function *function,
                       MissingExports *missing) {
  ExportAddress address = kitFindExport(library, name);
  *function = reinterpret_cast<Function>(address);
  if (!address)
    missing->names[missing->count++] = name;
}

int kitFindExports(void *library, PluginExports *exports,
                   MissingExports *missing) {
  *missing = MissingExports();
  findExport(library, "KSTEvent_InitPluginInfo", &exports->initPluginInfo,
             missing);
  findExport(library, "KSTEvent_FreePluginInfo", &exports->freePluginInfo,
             missing);
  findExport(library, "KSTEvent_Init", &exports->init, missing);
  findExport(library, "KSTEvent_Unload", &exports->unload, missing);
  findExport(library, "KSTEvent_Execute", &exports->execute, missing);
  findExport(library, "KSTEvent_WindowsHook", &exports->windowsHook, missing);
  return missing->count == 0;
}
