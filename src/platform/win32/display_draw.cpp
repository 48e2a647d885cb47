/*
 * The display's painting (gdi32, user32). The font is the one Windows
 * uses for message boxes, which every version from XP on has and which
 * shows Japanese on a Japanese system (MS UI Gothic, Meiryo UI, Yu Gothic
 * UI) and through font linking elsewhere.
 */
#include "platform/win32/display_draw.h"

#include <cstddef>

/* NONCLIENTMETRICSW as Windows XP knows it, ending at the message font:
 * Vista added a field after it, and XP refuses the larger size. */
static const UINT XP_METRICS_SIZE =
    (UINT)(offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof(LOGFONTW));

HFONT createDisplayFont(int32_t fontHeight) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = XP_METRICS_SIZE;
  LOGFONTW font = {};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, XP_METRICS_SIZE, &metrics,
                            0))
    font = metrics.lfMessageFont;
  else
    font.lfCharSet = DEFAULT_CHARSET;
  /* Negative: the characters' height, not the cell's. */
  font.lfHeight = -fontHeight;
  font.lfWidth = 0;
  font.lfWeight = FW_NORMAL;
  font.lfQuality = ANTIALIASED_QUALITY;
  return CreateFontIndirectW(&font);
}

/* 0x00RRGGBB to Windows' 0x00BBGGRR. */
static COLORREF colourRef(uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

static void fillRect(HDC dc, const PixelRect &rect, uint32_t colour) {
  if (rect.right <= rect.left || rect.bottom <= rect.top)
    return;
  RECT area = {rect.left, rect.top, rect.right, rect.bottom};
  HBRUSH brush = CreateSolidBrush(colourRef(colour));
  if (!brush)
    return;
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

void drawDisplayFrame(HDC dc, HFONT font, const DisplayFrame *frame) {
  PixelRect client = {0, 0, frame->window.right - frame->window.left,
                      frame->window.bottom - frame->window.top};
  fillRect(dc, client, frame->background);
  fillRect(dc, frame->barTrack, frame->trackColour);
  fillRect(dc, frame->barFill, frame->fillColour);
  RECT box = {frame->textBox.left, frame->textBox.top, frame->textBox.right,
              frame->textBox.bottom};
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colourRef(frame->foreground));
  DrawTextW(dc, (LPCWSTR)frame->text, -1, &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                DT_END_ELLIPSIS);
  SelectObject(dc, oldFont);
}
