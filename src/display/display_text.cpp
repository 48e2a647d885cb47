/*
 * What the display says, in Japanese, as UTF-16: the level as
 * 「音量 55%」, the mute state as 「ミュート」 or 「ミュート解除」, the
 * microphone's with 「マイク」 before it, an application's with its name,
 * a device switched to as 「出力: ヘッドホン (USB Headset)」, a named
 * device's or program's level or mute with its name before it, cut with
 * 「…」 where the two would not fit the view.
 */
#include "display/display_text.h"

/* Written as escapes so that the text does not depend on the encoding a
 * compiler takes the source file in. */
static const char16_t VOLUME_WORD[] = u"\u97F3\u91CF";           /* 音量 */
static const char16_t MICROPHONE_WORD[] = u"\u30DE\u30A4\u30AF"; /* マイク */
static const char16_t APPLICATION_WORD[] = u"\u30A2\u30D7\u30EA"; /* アプリ */
static const char16_t MUTED_WORDS[] =
    u"\u30DF\u30E5\u30FC\u30C8"; /* ミュート */
static const char16_t UNMUTED_WORDS[] =
    u"\u30DF\u30E5\u30FC\u30C8\u89E3\u9664"; /* ミュート解除 */
static const char16_t OUTPUT_WORDS[] = u"\u51FA\u529B: "; /* 出力: */
static const char16_t INPUT_WORDS[] = u"\u5165\u529B: ";  /* 入力: */
static const char16_t HEADSET_WORDS[] =
    u"\u51FA\u529B\u3068\u5165\u529B: "; /* 出力と入力: */

/* Appends to a zero-terminated text, as much as fits. */
struct TextBuilder {
  uint16_t *text;
  uint32_t size;
  uint32_t length;
};

static void appendUnits(TextBuilder *builder, const uint16_t *units) {
  for (uint32_t i = 0; units[i] != 0 && builder->length + 1 < builder->size;
       i++)
    builder->text[builder->length++] = units[i];
  builder->text[builder->length] = 0;
}

static void appendWords(TextBuilder *builder, const char16_t *words) {
  uint16_t units[16];
  uint32_t i = 0;
  for (; words[i] != 0 && i + 1 < 16; i++)
    units[i] = (uint16_t)words[i];
  units[i] = 0;
  appendUnits(builder, units);
}

/* The figure written backwards from its "%", at most six digits. */
static void appendPercent(TextBuilder *builder, uint32_t percent) {
  uint16_t units[8] = {0};
  uint32_t at = 6;
  units[at] = '%';
  do {
    units[--at] = (uint16_t)('0' + percent % 10);
    percent /= 10;
  } while (percent != 0 && at > 0);
  appendUnits(builder, units + at);
}

static const uint16_t SPACE[] = {' ', 0};

/* A device switched to: its direction, then its name. */
static int appendDevice(TextBuilder *builder, const DisplayView *view) {
  const char16_t *words = view->subject == DISPLAY_OUTPUT_DEVICE  ? OUTPUT_WORDS
                          : view->subject == DISPLAY_INPUT_DEVICE ? INPUT_WORDS
                          : view->subject == DISPLAY_HEADSET ? HEADSET_WORDS
                                                             : nullptr;
  if (!words)
    return 0;
  appendWords(builder, words);
  appendUnits(builder, view->name);
  return 1;
}

/* Columns a unit takes in a Japanese font: two for a full-width letter
 * (kana, kanji, full-width Latin), one for the rest. */
static uint32_t columnsOf(uint16_t unit) {
  return unit >= 0x2E80 && (unit < 0xFF61 || unit > 0xFF9F) ? 2 : 1;
}

/* The named device's view (360 px at 96 DPI, 336 inside its padding)
 * holds about 37 columns of its 18 px font; the drawing cuts a longer
 * line at its end, where the figure stands. */
enum { NAMED_VIEW_COLUMNS = 36 };
static const uint16_t ELLIPSIS[] = {0x2026, 0}; /* … */

/* A name cut with "…" to room columns, keeping a surrogate pair whole. */
static void appendFitting(TextBuilder *builder, const uint16_t *name,
                          uint32_t room) {
  uint32_t whole = 0, i = 0;
  for (uint32_t k = 0; name[k] != 0; k++)
    whole += columnsOf(name[k]);
  if (whole <= room) {
    appendUnits(builder, name);
    return;
  }
  for (uint32_t used = 2; name[i] != 0 && used + columnsOf(name[i]) <= room;)
    used += columnsOf(name[i++]);
  if (i > 0 && (name[i - 1] & 0xFC00) == 0xD800)
    i--;
  for (uint32_t k = 0; k < i && builder->length + 1 < builder->size; k++)
    builder->text[builder->length++] = name[k];
  builder->text[builder->length] = 0;
  appendUnits(builder, ELLIPSIS);
}

/* The level as a figure, or the mute state. */
static void appendState(TextBuilder *builder, const DisplayView *view) {
  if (view->showsLevel)
    appendPercent(builder, view->percent > 100 ? 100 : view->percent);
  else
    appendWords(builder, view->muted ? MUTED_WORDS : UNMUTED_WORDS);
}

void displayText(const DisplayView *view, uint16_t *text, uint32_t size) {
  TextBuilder builder = {text, size, 0};
  text[0] = 0;
  if (appendDevice(&builder, view))
    return;
  uint16_t state[16];
  TextBuilder stateBuilder = {state, 16, 0};
  appendState(&stateBuilder, view);
  uint32_t stateColumns = 0;
  for (uint32_t k = 0; state[k] != 0; k++)
    stateColumns += columnsOf(state[k]);
  if (view->subject == DISPLAY_NAMED_DEVICE || view->subject == DISPLAY_PROGRAM)
    appendFitting(&builder, view->name, NAMED_VIEW_COLUMNS - 1 - stateColumns);
  else if (view->subject == DISPLAY_APPLICATION)
    view->name[0] != 0 ? appendUnits(&builder, view->name)
                       : appendWords(&builder, APPLICATION_WORD);
  else if (view->subject == DISPLAY_MICROPHONE)
    appendWords(&builder, MICROPHONE_WORD);
  else if (view->showsLevel)
    appendWords(&builder, VOLUME_WORD);
  if (builder.length > 0)
    appendUnits(&builder, SPACE);
  appendUnits(&builder, state);
}
