#include "plugin/settings.h"

#include "platform/platform.h"
#include "plugin/settings_path.h"

static Settings settings;

static void *pluginModule;

void rememberModule(void *module) { pluginModule = module; }

void settingsFilePath(char path[SETTINGS_PATH_SIZE]) {
  uint32_t length =
      platformModuleFileName(pluginModule, path, SETTINGS_PATH_SIZE);
  settingsPathFromModuleName(path, length, SETTINGS_PATH_SIZE);
}

int32_t settingInt(const char *path, const char *section, const char *key,
                   int32_t defaultValue) {
  if (path[0] == '\0')
    return defaultValue;
  return platformProfileInt(section, key, defaultValue, path);
}

void readStartupSettings(void) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  for (const SettingRow &row : SETTING_ROWS)
    settings.values[row.id] =
        settingInt(path, row.section, row.key, row.whenMissing);
}

const Settings &startupSettings(void) { return settings; }

void forgetStartupSettings(void) { settings = Settings(); }
