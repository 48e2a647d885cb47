/*
 * Where a plug-in finds its settings: its own module file name with the
 * last three characters replaced by "ini". Kept apart from the rest of the
 * plug-in, with no platform calls, so that the host kit and plughost find
 * the settings file by the very same rule.
 */
#ifndef VOLUME_SETTINGS_PATH_H
#define VOLUME_SETTINGS_PATH_H

#include <cstdint>

/* Rewrites, in place, a module file name as GetModuleFileNameA left it in a
 * buffer of `size` characters, `length` being what it returned. Returns 1;
 * or 0, with the buffer emptied, when the length cannot be a whole name
 * with an extension: below 3, or `size` or more (the query failed or the
 * name was cut short). */
int settingsPathFromModuleName(char *name, uint32_t length, uint32_t size);

#endif
