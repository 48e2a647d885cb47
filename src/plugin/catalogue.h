/*
 * The command table of the record handed to the host, built from the
 * "Command" section of the settings file.
 */
#ifndef VOLUME_CATALOGUE_H
#define VOLUME_CATALOGUE_H

#include "plugin/plugin.h"

/* Fills commandCount and commands from the settings file; no table (0 and
 * null) when it cannot be allocated. */
void buildCommandCatalogue(PluginInfo *info);
/* Frees the table and its strings. */
void freeCommandCatalogue(PluginInfo *info);

#endif
