/*
 * The settings file's name from the module's: its last three characters
 * made "ini".
 */
#include "plugin/settings_path.h"

int settingsPathFromModuleName(char *name, uint32_t length, uint32_t size) {
  /* A failed query, a name cut short at the buffer's end or a name too
   * short to hold an extension leaves nothing sound to rewrite. */
  if (length < 3 || length >= size) {
    if (size > 0)
      name[0] = '\0';
    return 0;
  }
  /* The extension is not parsed: the last three characters are replaced,
   * whatever they are, so plug.dll and plug.dl_ both read plug.ini. */
  name[length - 3] = 'i';
  name[length - 2] = 'n';
  name[length - 1] = 'i';
  name[length] = '\0';
  return 1;
}
