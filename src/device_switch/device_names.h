/*
 * Finding a device by a text of the settings file in its friendly name.
 */
#ifndef VOLUME_DEVICE_NAMES_H
#define VOLUME_DEVICE_NAMES_H

#include <cstdint>

/* Whether a device's name (UTF-16) holds the text (the settings file's
 * bytes, in the ANSI code page), compared without regard to case: ASCII,
 * Latin-1 and full-width letters. Windows' own prefixes ("2- ") stand
 * before the name and do not stop a match. An empty text, or one that
 * cannot be decoded, is held by no name. */
int nameHoldsText(const uint16_t *name, const char *text);

#endif
