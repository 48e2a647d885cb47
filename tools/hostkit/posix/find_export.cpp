/*
 * The host kit's platform part off Windows: the plug-in is a shared object
 * loaded with dlopen.
 */
#include <dlfcn.h>

#include "hostkit/exports.h"

ExportAddress kitFindExport(void *library, const char *name) {
  return reinterpret_cast<ExportAddress>(dlsym(library, name));
}
