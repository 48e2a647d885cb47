/*
 * GetPrivateProfileIntA off Windows, for the INI files users write:
 *
 *   [Section]        names match case-insensitively, blanks around ignored;
 *   ; comment        the first matching section and key win;
 *   Key = value      a line without '=' is not a key.
 *
 * The value is trimmed and one pair of matching surrounding quotes removed;
 * an empty value gives the default. Otherwise it is converted as Windows
 * converts it (RtlCharToInteger with base 0): leading blanks, one sign, a
 * "0x", "0o" or "0b" prefix for base 16, 8 or 2, digits up to the first
 * character that is not one, wrapping modulo 2^32. No digits give 0.
 */
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

enum { LINE_SIZE = 1024 };

static char *trim(char *text) {
  while (*text && isspace((unsigned char)*text))
    text++;
  size_t length = strlen(text);
  while (length > 0 && isspace((unsigned char)text[length - 1]))
    text[--length] = '\0';
  return text;
}

static int sameName(const char *a, const char *b) {
  return strcasecmp(a, b) == 0;
}

static int digitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'z')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z')
    return c - 'A' + 10;
  return 99;
}

static int32_t profileInteger(const char *text) {
  while (*text && (unsigned char)*text <= ' ')
    text++;
  int negative = *text == '-';
  if (*text == '-' || *text == '+')
    text++;
  uint32_t base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'o' || text[1] == 'b')) {
    base = text[1] == 'x' ? 16 : text[1] == 'o' ? 8 : 2;
    text += 2;
  }
  uint32_t value = 0;
  for (; (uint32_t)digitValue(*text) < base; text++)
    value = value * base + (uint32_t)digitValue(*text);
  return (int32_t)(negative ? 0u - value : value);
}

/* Strips one pair of matching quotes around the whole value. */
static char *unquote(char *value) {
  size_t length = strlen(value);
  if (length >= 2 && (value[0] == '"' || value[0] == '\'') &&
      value[length - 1] == value[0]) {
    value[length - 1] = '\0';
    return value + 1;
  }
  return value;
}

/* Returns the value of the first matching key of the first matching
 * section, copied into value, or 0 when there is none. */
static int findValue(FILE *file, const char *section, const char *key,
                     char *value) {
  char line[LINE_SIZE];
  int inSection = 0;
  while (fgets(line, sizeof line, file)) {
    char *text = trim(line);
    if (*text == ';' || *text == '\0')
      continue;
    if (*text == '[') {
      char *end = strchr(text, ']');
      if (end)
        *end = '\0';
      if (inSection)
        return 0; /* a later section of the same name is not read */
      inSection = sameName(trim(text + 1), section);
      continue;
    }
    char *equals = strchr(text, '=');
    if (!inSection || !equals)
      continue;
    *equals = '\0';
    if (sameName(trim(text), key)) {
      strcpy(value, unquote(trim(equals + 1)));
      return 1;
    }
  }
  return 0;
}

int32_t platformProfileInt(const char *section, const char *key,
                           int32_t defaultValue, const char *path) {
  FILE *file = fopen(path, "r");
  if (!file)
    return defaultValue;
  char value[LINE_SIZE];
  int found = findValue(file, section, key, value);
  fclose(file);
  if (!found || value[0] == '\0')
    return defaultValue;
  return profileInteger(value);
}
