/*
 * The command table of the record handed to the host, built from the
 * "Command" section of the settings file.
 */
#ifndef VOLUME_CATALOGUE_H
#define VOLUME_CATALOGUE_H

#include "plugin/plugin.h"

struct CommandFamily;

/* Fills commandCount and commands from the settings file; no table (0 and
 * null) when it cannot be allocated. */
void buildCommandCatalogue(PluginInfo *info);
/* Frees the table and its strings. */
void freeCommandCatalogue(PluginInfo *info);

/* The row of command/command_families.h that holds an identifier, or
 * null. The library reads the rows here alone: every file that reads them
 * would carry its own copy of their texts. */
const CommandFamily *commandFamilyOf(int32_t id);

#endif
