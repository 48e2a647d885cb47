#include "plugin/settings.h"

#include "platform/platform.h"

static StartupSettings settings;

/* VolComponentType when the key is missing: the speakers. */
static const int32_t DEFAULT_COMPONENT_TYPE_SETTING = 4;

static void *pluginModule;

void rememberModule(void *module) { pluginModule = module; }

void settingsFilePath(char path[SETTINGS_PATH_SIZE]) {
  uint32_t length =
      platformModuleFileName(pluginModule, path, SETTINGS_PATH_SIZE);
  /* A failed query, a name cut short at the buffer's end or a name too
   * short to hold an extension leaves nothing sound to rewrite. */
  if (length < 3 || length >= SETTINGS_PATH_SIZE) {
    path[0] = '\0';
    return;
  }
  /* The extension is not parsed: the last three characters are replaced,
   * whatever they are, so plug.dll and plug.dl_ both read plug.ini. */
  path[length - 3] = 'i';
  path[length - 2] = 'n';
  path[length - 1] = 'i';
  path[length] = '\0';
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
}

const StartupSettings &startupSettings(void) { return settings; }

void forgetStartupSettings(void) { settings = StartupSettings(); }
