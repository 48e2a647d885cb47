/*
 * Paints one frame of the on-screen display into a device context: shared
 * by the display's window and by the tool that draws its pictures.
 */
#ifndef VOLUME_DISPLAY_DRAW_H
#define VOLUME_DISPLAY_DRAW_H

#include <windows.h>

#include "platform/platform.h"

/* The system's message font, its characters fontHeight pixels tall;
 * the caller deletes it. Null when it cannot be made. */
HFONT createDisplayFont(int32_t fontHeight);
/* Paints the whole client area of the frame. */
void drawDisplayFrame(HDC dc, HFONT font, const DisplayFrame *frame);

#endif
