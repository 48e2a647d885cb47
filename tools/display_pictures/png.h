/*
 * A PNG writer small enough to carry: 8-bit RGB, the image data in stored
 * (uncompressed) deflate blocks. The picture script squeezes the files
 * afterwards where optipng is at hand.
 */
#ifndef VOLUME_PNG_H
#define VOLUME_PNG_H

#include <cstdint>

/* rgb: height rows of width pixels, 3 bytes each, top row first.
 * 1 when the file was written. */
int writePng(const char *path, const uint8_t *rgb, uint32_t width,
             uint32_t height);

#endif
