/*
 * The display's one line of text for a view.
 */
#ifndef VOLUME_DISPLAY_TEXT_H
#define VOLUME_DISPLAY_TEXT_H

#include "display/display.h"

/* Writes the view's text, zero-terminated, cut to size units. */
void displayText(const DisplayView *view, uint16_t *text, uint32_t size);

#endif
