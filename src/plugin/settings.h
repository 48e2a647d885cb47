/*
 * The settings file: the library's own path with its last three characters
 * replaced by "ini", read with the platform's profile reader.
 */
#ifndef VOLUME_SETTINGS_H
#define VOLUME_SETTINGS_H

#include <cstdint>

#include "command/command_settings.h"

enum { SETTINGS_PATH_SIZE = 260 };

/* Stores the library's module handle at process attach. */
void rememberModule(void *module);

/* Fills path with the settings file's full path, or with the empty string
 * when the module name cannot give one (then every setting is default). */
void settingsFilePath(char path[SETTINGS_PATH_SIZE]);

/* A setting's integer, or the default when the file or key is missing. */
int32_t settingInt(const char *path, const char *section, const char *key,
                   int32_t defaultValue);

/* A slot's number, "<key><slot>" of the section as the profile reader
 * gives it; NO_NUMBER when missing. */
int32_t readSettingNumber(const char *path, const char *section,
                          const char *key, uint32_t slot);

/* A slot's text, as the settings file holds it: "<key><slot>" of the
 * section, cut to SETTING_TEXT_SIZE - 1 bytes without splitting a
 * double-byte character of code page 932; empty when missing. */
void readSettingText(const char *path, const char *section, const char *key,
                     uint32_t slot, char text[SETTING_TEXT_SIZE]);

/* Reads every row of SETTING_ROWS, SETTING_TEXT_ROWS and SETTING_NUMBER_ROWS,
 * each with its default when missing, into the settings that commands are
 * handed from then on. */
void readStartupSettings(void);
/* What KSTEvent_Init read; all 0 before. */
const Settings &startupSettings(void);
/* Back to the state before the first KSTEvent_Init. */
void forgetStartupSettings(void);

#endif
