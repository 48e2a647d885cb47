/*
 * Names and captions from the rows' formats.
 */
#include "plugin/command_text.h"

static uint32_t putDecimal(char *out, uint32_t at, uint32_t end,
                           int32_t value) {
  char digits[12];
  int count = 0;
  uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  do {
    digits[count++] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0)
    digits[count++] = '-';
  while (count > 0 && at < end)
    out[at++] = digits[--count];
  return at;
}

void formatCommandText(char out[COMMAND_TEXT_SIZE], const char *format,
                       int32_t number, const char *text) {
  const uint32_t end = COMMAND_TEXT_SIZE - 1;
  uint32_t at = 0;
  for (uint32_t i = 0; format[i] != '\0' && at < end; i++) {
    if (format[i] == '%' && format[i + 1] == 'd') {
      at = putDecimal(out, at, end, number);
      i++;
    } else if (format[i] == '%' && format[i + 1] == 's') {
      for (uint32_t k = 0; text[k] != '\0' && at < end; k++)
        out[at++] = text[k];
      i++;
    } else {
      out[at++] = format[i];
    }
  }
  out[at] = '\0';
}
