/*
 * `plughost check`: the plug-in's settings file read as the plug-in reads
 * it, its [Setting] values, and each line of it that offers nothing, with
 * why. The keys it knows are the rows of the plug-in's tables
 * (command/command_settings.h, command/command_families.h), so that a key
 * added there is known here too.
 */
#ifndef PLUGHOST_CHECK_H
#define PLUGHOST_CHECK_H

#include <cstddef>
#include <cstdio>

#include "command/command_families.h"

/* The command families whose [Command] keys the check knows and whose
 * rows say what a text alone offers: the plug-in's own table, or in a
 * test a table with rows left out. */
struct FamilyTable {
  const CommandFamily *rows;
  size_t count;
};

inline constexpr FamilyTable PLUGIN_FAMILIES = {COMMAND_FAMILIES,
                                                COMMAND_FAMILY_COUNT};

/* Writes the settings file's path, its [Setting] values as the plug-in
 * reads them, then one line per problem and a count to out. The exit
 * status: EXIT_DONE when nothing is wrong, EXIT_FAILED when a problem
 * was found or the file cannot be read. */
int checkSettingsFile(FILE *out, const char *settingsPath,
                      FamilyTable families);

/* `plughost check`: loads the plug-in, finds its settings file by its own
 * rule and checks it on stdout; the exit status. */
int checkPluginSettings(const char *pluginPath);

#endif
