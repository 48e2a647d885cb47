/*
 * Draws the on-screen display as the plug-in does, for the README's
 * pictures: each view laid out by the plug-in's layout and painted by its
 * drawing code into a bitmap, then written as a PNG file.
 *
 *   display_pictures FOLDER [DPI]
 */
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/display.h"
#include "platform/win32/display_draw.h"
#include "png.h"

struct Picture {
  const char *file;
  DisplayView view;
};

static DisplayView viewOf(DisplaySubject subject, uint32_t showsLevel,
                          uint32_t percent, uint32_t muted,
                          const char16_t *name) {
  DisplayView view = {subject, showsLevel, percent, muted, {0}};
  for (uint32_t i = 0; name[i] != 0 && i + 1 < DISPLAY_NAME_SIZE; i++)
    view.name[i] = (uint16_t)name[i];
  return view;
}

/* A playback device as Windows names one, 「ヘッドホン (USB Headset)」,
 * written as escapes as the display's own words are. */
static const char16_t HEADPHONES[] =
    u"\u30D8\u30C3\u30C9\u30DB\u30F3 (USB Headset)";

static const Picture PICTURES[] = {
    {"display-level.png", viewOf(DISPLAY_PLAYBACK, 1, 55, 0, u"")},
    {"display-mute.png", viewOf(DISPLAY_PLAYBACK, 0, 0, 1, u"")},
    {"display-microphone.png", viewOf(DISPLAY_MICROPHONE, 0, 0, 1, u"")},
    {"display-microphone-level.png", viewOf(DISPLAY_MICROPHONE, 1, 70, 0, u"")},
    {"display-app.png", viewOf(DISPLAY_APPLICATION, 1, 30, 0, u"firefox")},
    {"display-device.png", viewOf(DISPLAY_OUTPUT_DEVICE, 0, 0, 0, HEADPHONES)},
    {"display-named.png", viewOf(DISPLAY_NAMED_DEVICE, 1, 40, 0, HEADPHONES)},
    {"display-program.png", viewOf(DISPLAY_PROGRAM, 1, 40, 0, u"spotify")},
};

/* The frame's client area as top-down RGB bytes. */
static int render(const DisplayFrame &frame, std::vector<uint8_t> &rgb) {
  int32_t width = frame.window.right - frame.window.left;
  int32_t height = frame.window.bottom - frame.window.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height; /* top-down */
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC dc = CreateCompatibleDC(nullptr);
  void *bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HFONT font = createDisplayFont(frame.fontHeight);
  int drawn = dc && bitmap && font;
  if (drawn) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    drawDisplayFrame(dc, font, &frame);
    GdiFlush();
    const uint32_t *pixels = (const uint32_t *)bits;
    for (int32_t i = 0; i < width * height; i++)
      rgb.insert(rgb.end(), {(uint8_t)(pixels[i] >> 16),
                             (uint8_t)(pixels[i] >> 8), (uint8_t)pixels[i]});
    SelectObject(dc, old);
  }
  if (font)
    DeleteObject(font);
  if (bitmap)
    DeleteObject(bitmap);
  if (dc)
    DeleteDC(dc);
  return drawn;
}

int main(int argc, char **argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: display_pictures FOLDER [DPI]\n");
    return 2;
  }
  DisplayMonitor monitor = {{0, 0, 1920, 1040},
                            argc > 2 ? (uint32_t)atoi(argv[2]) : 96u};
  for (const Picture &picture : PICTURES) {
    DisplayFrame frame;
    layoutDisplay(&picture.view, &monitor, &frame);
    std::vector<uint8_t> rgb;
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s", argv[1], picture.file);
    if (!render(frame, rgb) ||
        !writePng(path, rgb.data(),
                  (uint32_t)(frame.window.right - frame.window.left),
                  (uint32_t)(frame.window.bottom - frame.window.top))) {
      fprintf(stderr, "display_pictures: cannot write %s\n", path);
      return 1;
    }
    printf("%s\n", path);
  }
  return 0;
}
