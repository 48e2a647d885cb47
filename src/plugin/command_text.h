/*
 * A command's name or caption from its row's format: the command table's
 * and the debugger line's, written one way.
 */
#ifndef VOLUME_COMMAND_TEXT_H
#define VOLUME_COMMAND_TEXT_H

#include <cstdint>

enum { COMMAND_TEXT_SIZE = 128 };

/* format with each "%d" replaced by number in signed decimal and each
 * "%s" by text, as sprintf would without the C library's printf family,
 * cut to COMMAND_TEXT_SIZE - 1 bytes. */
void formatCommandText(char out[COMMAND_TEXT_SIZE], const char *format,
                       int32_t number, const char *text);

#endif
