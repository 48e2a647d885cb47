/*
 * The settings file: the library's own path with its last three characters
 * replaced by "ini", read with the platform's profile reader.
 */
#ifndef VOLUME_SETTINGS_H
#define VOLUME_SETTINGS_H

#include <cstdint>

enum { SETTINGS_PATH_SIZE = 260 };

/* What KSTEvent_Init reads from the settings file; all 0 before. */
struct StartupSettings {
  int32_t componentTypeSetting; /* VolComponentType: the volume's line */
  int32_t endpointSetting;      /* VolEndpoint: 1 for the default endpoint */
  int32_t unmuteSetting;        /* UnmuteOnChange: 1 to lift mute on a change */
  int32_t displaySetting;       /* Osd: 1 to show what a command did */
};

/* Stores the library's module handle at process attach. */
void rememberModule(void *module);

/* Fills path with the settings file's full path, or with the empty string
 * when the module name cannot give one (then every setting is default). */
void settingsFilePath(char path[SETTINGS_PATH_SIZE]);

/* A setting's integer, or the default when the file or key is missing. */
int32_t settingInt(const char *path, const char *section, const char *key,
                   int32_t defaultValue);

/* Reads the start-up settings, each with its default when missing. */
void readStartupSettings(void);
const StartupSettings &startupSettings(void);
/* Back to the state before the first KSTEvent_Init. */
void forgetStartupSettings(void);

#endif
