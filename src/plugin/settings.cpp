#include "plugin/settings.h"

#include "platform/platform.h"
#include "plugin/settings_path.h"

static StartupSettings settings;

/* VolComponentType when the key is missing: the speakers. */
static const int32_t DEFAULT_COMPONENT_TYPE_SETTING = 4;

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
  /* Not range-checked here: the mixer maps unknown values to speakers. */
  settings.componentTypeSetting = settingInt(
      path, "Setting", "VolComponentType", DEFAULT_COMPONENT_TYPE_SETTING);
  /* Only 1 turns the endpoint on; a missing key reads 0. */
  settings.endpointSetting = settingInt(path, "Setting", "VolEndpoint", 0);
  /* Only 1 makes a volume change lift the mute. */
  settings.unmuteSetting = settingInt(path, "Setting", "UnmuteOnChange", 0);
  /* Only 1 shows the on-screen display. */
  settings.displaySetting = settingInt(path, "Setting", "Osd", 0);
}

const StartupSettings &startupSettings(void) { return settings; }

void forgetStartupSettings(void) { settings = StartupSettings(); }
