/*
 * The host kit off Windows: the sim's controls inside the loaded plug-in.
 * The sim is linked into the plug-in, whose copy is the one its commands
 * change; a second copy in the host program would see nothing. So every
 * control is found in the library by name, this one way.
 */
#ifndef VOLUME_HOSTKIT_SIM_H
#define VOLUME_HOSTKIT_SIM_H

#include "hostkit/exports.h"

/* Points *control at the control of that name in the loaded plug-in, as
 * the type of the sim's own declaration (e.g. decltype(simEndpoint)); 1
 * when found, 0 (and null) where the library has none. */
template <typename Function>
static inline int kitFindSim(void *plugin, const char *name,
                             Function **control) {
  *control = reinterpret_cast<Function *>(kitFindExport(plugin, name));
  return *control != nullptr;
}

#endif
