/*
 * The DLL's entry routine. It only keeps the module handle, which locates
 * the settings file; nothing else may be done under the loader lock.
 */
#include <cstdint>

#include "plugin/settings.h"

enum { DLL_PROCESS_ATTACH_REASON = 1 };

extern "C" int __stdcall DllMain(void *module, uint32_t reason, void *) {
  if (reason == DLL_PROCESS_ATTACH_REASON)
    rememberModule(module);
  return 1;
}
