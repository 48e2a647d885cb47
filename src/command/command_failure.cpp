/*
 * The reason the running command fails, kept until dispatch says it. One
 * command runs at a time, on the host's thread.
 */
#include "command/command_failure.h"

#include "platform/platform.h"

static struct {
  CommandFailure why;
  char text[FAILURE_TEXT_SIZE];
  uint32_t code;
} failure;

static void keepText(const char *text) {
  size_t i = 0;
  for (; text && text[i] != '\0' && i + 1 < FAILURE_TEXT_SIZE; i++)
    failure.text[i] = text[i];
  failure.text[i] = '\0';
}

void commandFails(CommandFailure why, const char *text, uint32_t code) {
  if (failure.why != FAILED_UNSAID)
    return;
  failure.why = why;
  failure.code = code;
  keepText(text);
}

void commandFailsWide(CommandFailure why, const uint16_t *text, uint32_t code) {
  if (failure.why != FAILED_UNSAID)
    return;
  commandFails(why, nullptr, code);
  if (text)
    platformWideToAnsi(text, failure.text, FAILURE_TEXT_SIZE);
}

void forgetCommandFailure(void) {
  failure.why = FAILED_UNSAID;
  failure.text[0] = '\0';
  failure.code = 0;
}

/* A bounded writer: whatever does not fit is left out. */
struct LineWriter {
  char *line;
  size_t size, at;
};

static void put(LineWriter *out, char c) {
  if (out->at + 1 < out->size)
    out->line[out->at++] = c;
}

static void putNumber(LineWriter *out, uint32_t value, uint32_t base,
                      int digits) {
  char reversed[10];
  int count = 0;
  do {
    reversed[count++] = "0123456789ABCDEF"[value % base];
    value /= base;
  } while (value != 0 || count < digits);
  while (count > 0)
    put(out, reversed[--count]);
}

static void putCode(LineWriter *out, char kind) {
  if (kind == 'x') {
    put(out, '0');
    put(out, 'x');
    putNumber(out, failure.code, 16, 8);
  } else if ((int32_t)failure.code < 0) {
    put(out, '-');
    putNumber(out, 0u - failure.code, 10, 1);
  } else {
    putNumber(out, failure.code, 10, 1);
  }
}

void describeCommandFailure(char *line, size_t size) {
  LineWriter out = {line, size, 0};
  const char *format = COMMAND_FAILURES[failure.why].text;
  for (size_t i = 0; format[i] != '\0'; i++) {
    if (format[i] != '%' || format[i + 1] == '\0') {
      put(&out, format[i]);
      continue;
    }
    char kind = format[++i];
    if (kind == 's')
      for (size_t k = 0; failure.text[k] != '\0'; k++)
        put(&out, failure.text[k]);
    else
      putCode(&out, kind);
  }
  if (size > 0)
    line[out.at] = '\0';
}
