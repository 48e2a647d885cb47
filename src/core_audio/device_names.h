/*
 * Finding a device by a text of the settings file in its friendly name,
 * as the Sound control panel shows it.
 */
#ifndef VOLUME_DEVICE_NAMES_H
#define VOLUME_DEVICE_NAMES_H

#include <cstdint>

#include "platform/platform.h"

/* UTF-16 units of a friendly name read whole for matching. */
enum { FRIENDLY_NAME_SIZE = 128 };

/* A letter in lower case where it has case: ASCII, Latin-1 and
 * full-width letters, the case rule of the names users type. */
uint16_t foldedCase(uint16_t unit);

/* Whether a device's name (UTF-16) holds the text (the settings file's
 * bytes, in the ANSI code page), compared without regard to case: ASCII,
 * Latin-1 and full-width letters. Windows' own prefixes ("2- ") stand
 * before the name and do not stop a match. An empty text, or one that
 * cannot be decoded, is held by no name. */
int nameHoldsText(const uint16_t *name, const char *text);

/* A device's friendly name, cut to size units; empty when it cannot be
 * read (such a device matches no text). */
void readFriendlyName(ComObject device, uint16_t *name, uint32_t size);

/* The first active device of a flow, in the order Windows lists them,
 * whose friendly name holds the text, with that name cut to nameSize
 * units. 0 when there is none or the devices cannot be listed, with the
 * reason given and nothing held. */
int findDeviceNamed(ComObject enumerator, AudioFlow flow, const char *text,
                    ComObject *device, uint16_t *name, uint32_t nameSize);

#endif
