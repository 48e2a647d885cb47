/*
 * A settings text found anywhere in a device's friendly name, the case of
 * its letters aside.
 */
#include "device_switch/device_names.h"

#include "command/command_settings.h"
#include "platform/platform.h"

/* Upper case to lower case where the letters have case: the names users
 * type are ASCII ("USB"), accented Latin ("Émulation") or full-width
 * ("ＵＳＢ"); Japanese has no case. */
static uint16_t folded(uint16_t unit) {
  if ((unit >= 'A' && unit <= 'Z') ||
      (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7))
    return (uint16_t)(unit + 0x20);
  if (unit >= 0xFF21 && unit <= 0xFF3A) /* Ａ..Ｚ */
    return (uint16_t)(unit + 0x20);
  return unit;
}

static int holdsAt(const uint16_t *name, const uint16_t *text) {
  for (uint32_t i = 0; text[i] != 0; i++)
    if (name[i] == 0 || folded(name[i]) != folded(text[i]))
      return 0;
  return 1;
}

int nameHoldsText(const uint16_t *name, const char *text) {
  uint16_t wide[SETTING_TEXT_SIZE + 1];
  if (text[0] == '\0' ||
      platformAnsiToWide(text, wide, SETTING_TEXT_SIZE + 1) == 0)
    return 0;
  for (uint32_t at = 0; name[at] != 0; at++)
    if (holdsAt(name + at, wide))
      return 1;
  return 0;
}
