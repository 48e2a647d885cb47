/*
 * The settings file beside the module: its path, its numbers and texts,
 * and the settings read once at KSTEvent_Init.
 */
#include "plugin/settings.h"

#include <cstring>

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

enum { SLOT_KEY_SIZE = 32 };

/* "<key><slot>"; 0 where it does not fit or the slot is not 0..9. */
static int slotKey(char name[SLOT_KEY_SIZE], const char *key, uint32_t slot) {
  size_t length = strlen(key);
  if (length + 2 > SLOT_KEY_SIZE || slot > 9)
    return 0;
  memcpy(name, key, length);
  name[length] = (char)('0' + slot);
  name[length + 1] = '\0';
  return 1;
}

int32_t readSettingNumber(const char *path, const char *section,
                          const char *key, uint32_t slot) {
  char name[SLOT_KEY_SIZE];
  return slotKey(name, key, slot) ? settingInt(path, section, name, NO_NUMBER)
                                  : NO_NUMBER;
}

void readSettingText(const char *path, const char *section, const char *key,
                     uint32_t slot, char text[SETTING_TEXT_SIZE]) {
  char name[SLOT_KEY_SIZE], value[SETTINGS_PATH_SIZE];
  text[0] = '\0';
  if (path[0] == '\0' || !slotKey(name, key, slot))
    return;
  uint32_t read =
      platformProfileString(section, name, value, sizeof value, path);
  uint32_t kept = 0;
  while (kept < read) {
    uint32_t width = isCp932LeadByte((unsigned char)value[kept]) ? 2 : 1;
    if (kept + width > read || kept + width > SETTING_TEXT_SIZE - 1)
      break;
    kept += width;
  }
  memcpy(text, value, kept);
  text[kept] = '\0';
}

void readStartupSettings(void) {
  char path[SETTINGS_PATH_SIZE];
  settingsFilePath(path);
  for (const SettingRow &row : SETTING_ROWS)
    settings.values[row.id] =
        settingInt(path, row.section, row.key, row.whenMissing);
  for (const SettingTextRow &row : SETTING_TEXT_ROWS)
    for (uint32_t slot = 0; slot < SETTING_TEXT_SLOTS; slot++)
      readSettingText(path, row.section, row.key, slot,
                      settings.texts[row.id][slot]);
  /* A number without its text offers nothing: only those are read, as
   * every read goes through the file again. */
  for (const SettingNumberRow &row : SETTING_NUMBER_ROWS)
    for (uint32_t slot = 0; slot < SETTING_TEXT_SLOTS; slot++)
      settings.numbers[row.id][slot] =
          settings.texts[row.text][slot][0] != '\0'
              ? readSettingNumber(path, row.section, row.key, slot)
              : NO_NUMBER;
}

const Settings &startupSettings(void) { return settings; }

void forgetStartupSettings(void) { settings = Settings(); }
