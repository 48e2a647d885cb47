/*
 * Building and releasing the PluginInfo record handed to the host.
 */
#ifndef VOLUME_PLUGIN_INFO_H
#define VOLUME_PLUGIN_INFO_H

#include "plugin/plugin.h"

/* A new record, or null when the record itself cannot be allocated (or no
 * file name was given). A failed string allocation leaves that field null. */
PluginInfo *createPluginInfo(const char *fileName);
/* Releases the record and everything it owns; null is ignored. */
void destroyPluginInfo(PluginInfo *info);

#endif
