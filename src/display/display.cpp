/*
 * The display's layout, in pixels of the monitor it appears on: sizes are
 * given at 96 DPI and scaled, so that it is as large, and as sharp, at
 * every scaling.
 */
#include "display/display.h"

#include "display/display_text.h"

/* At 96 DPI. */
enum {
  WIDTH = 240,
  /* A device's name is long ("スピーカー (Realtek High Definition Audio)",
   * "ヘッドホン (USB Headset)"): a switch's view is wider, so that the
   * usual names are shown whole rather than cut short with "...". */
  DEVICE_WIDTH = 360,
  PADDING = 12,
  LINE_HEIGHT = 24,
  FONT_HEIGHT = 18,
  BAR_GAP = 6,
  BAR_HEIGHT = 6,
  BOTTOM_MARGIN = 48, /* above the work area's bottom (the taskbar) */
  SHOW_MILLISECONDS = 1500
};

static const uint32_t BACKGROUND = 0x202020;
static const uint32_t FOREGROUND = 0xFFFFFF;
static const uint32_t TRACK = 0x505050;
static const uint32_t FILL = 0x3C9BE6;

/* Rounded to the nearest pixel, as Windows' MulDiv does. */
static int32_t scaled(int32_t size, uint32_t dpi) {
  return (int32_t)(((int64_t)size * dpi + 48) / 96);
}

static PixelRect rectAt(int32_t left, int32_t top, int32_t width,
                        int32_t height) {
  return PixelRect{left, top, left + width, top + height};
}

/* Centred in the work area's width, its bottom a margin above the work
 * area's; a work area too small for it gets its top-left corner. */
static PixelRect placeWindow(const PixelRect &work, int32_t width,
                             int32_t height, uint32_t dpi) {
  int32_t left = work.left + (work.right - work.left - width) / 2;
  int32_t top = work.bottom - scaled(BOTTOM_MARGIN, dpi) - height;
  if (left < work.left)
    left = work.left;
  if (top < work.top)
    top = work.top;
  return rectAt(left, top, width, height);
}

/* The bar under the text, the filled part as long as the level. */
static void layBar(const DisplayView *view, uint32_t dpi, int32_t width,
                   DisplayFrame *frame) {
  int32_t padding = scaled(PADDING, dpi);
  int32_t top = frame->textBox.bottom + scaled(BAR_GAP, dpi);
  int32_t length = width - 2 * padding;
  uint32_t percent = view->percent > 100 ? 100 : view->percent;
  frame->barTrack = rectAt(padding, top, length, scaled(BAR_HEIGHT, dpi));
  frame->barFill = frame->barTrack;
  frame->barFill.right =
      padding + (int32_t)(((int64_t)length * percent + 50) / 100);
}

static int namesDevice(const DisplayView *view) {
  return view->subject == DISPLAY_OUTPUT_DEVICE ||
         view->subject == DISPLAY_INPUT_DEVICE ||
         view->subject == DISPLAY_HEADSET ||
         view->subject == DISPLAY_NAMED_DEVICE ||
         view->subject == DISPLAY_PROGRAM;
}

void layoutDisplay(const DisplayView *view, const DisplayMonitor *monitor,
                   DisplayFrame *frame) {
  uint32_t dpi = monitor->dpi != 0 ? monitor->dpi : 96;
  int32_t width = scaled(namesDevice(view) ? DEVICE_WIDTH : WIDTH, dpi);
  int32_t padding = scaled(PADDING, dpi);
  frame->textBox =
      rectAt(padding, padding, width - 2 * padding, scaled(LINE_HEIGHT, dpi));
  frame->barTrack = PixelRect{0, 0, 0, 0};
  frame->barFill = frame->barTrack;
  int32_t height = frame->textBox.bottom + padding;
  if (view->showsLevel) {
    layBar(view, dpi, width, frame);
    height = frame->barTrack.bottom + padding;
  }
  frame->window = placeWindow(monitor->workArea, width, height, dpi);
  frame->fontHeight = scaled(FONT_HEIGHT, dpi);
  frame->background = BACKGROUND;
  frame->foreground = FOREGROUND;
  frame->trackColour = TRACK;
  frame->fillColour = FILL;
  frame->showMilliseconds = SHOW_MILLISECONDS;
  displayText(view, frame->text, DISPLAY_TEXT_SIZE);
}

static void layoutView(const void *view, const DisplayMonitor *monitor,
                       DisplayFrame *frame) {
  layoutDisplay((const DisplayView *)view, monitor, frame);
}

static_assert(sizeof(DisplayView) <= DISPLAY_VIEW_LIMIT, "kept whole");

int showDisplay(const DisplayView *view) {
  return platformShowDisplay(view, sizeof *view, layoutView);
}

void closeDisplay(void) { platformCloseDisplay(); }
