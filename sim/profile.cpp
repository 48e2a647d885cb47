/*
 * GetPrivateProfileIntA off Windows. It answers as kernel32 does; the
 * differential test (tests/profile) asks both the same questions over a
 * few hundred files. kernel32's rules, in the order it applies them:
 *
 * Reading the file
 *  - The whole file is read; one that cannot be opened or read (missing,
 *    a directory, no permission) gives the default.
 *  - Its bytes become UTF-16 text: after a UTF-8 mark (EF BB BF) as UTF-8,
 *    after FF FE as UTF-16 little-endian, after FE FF as UTF-16 big-endian
 *    (in both, an odd last byte is one more character, of that byte's
 *    value), otherwise as ANSI text (bytes above 0x7F never count as
 *    blanks or digits).
 *  - Lines end at every CR and every LF: CR-only, LF and CRLF files read
 *    alike, and a NUL does not end a line.
 *
 * Parsing a line
 *  - Blanks are ASCII's white space (tab, LF, VT, FF, CR, space) and
 *    Ctrl-Z (0x1A, the old end-of-file mark); nothing else, not 0x1C..0x1F
 *    nor any Unicode space. Each line is trimmed of them.
 *  - A line starting with '[' and holding a ']' starts a section, named by
 *    what lies between the '[' and the LAST ']' (trimmed); what follows it
 *    is ignored. A '[' line without ']' is an ordinary line.
 *  - Any other line is a key: the name up to the first '=' (trimmed), the
 *    value after it (trimmed). There are no comments: ";K=1" is a key
 *    named ";K".
 *
 * Finding the value
 *  - The section and key asked for are trimmed of blanks; names match with
 *    ASCII letters in either case (nothing else is folded, not even the
 *    Kelvin sign U+212A), and a NUL ends a name. An empty key name is a
 *    name like any other ("=5" is found by the key "").
 *  - Only the first section of a name is searched, and in it the first key
 *    of the name. Keys before the first section, or in a section with an
 *    empty name, are never found. A key without '=' has no value.
 *  - The value is cut short at a NUL. A quote (' or ") opening a value of
 *    two or more characters that ends in the same quote is dropped.
 *  - Only the first 29 characters are kept (kernel32 reads the value into
 *    a buffer of 30). The closing quote is dropped only when what follows
 *    the opening quote, closing quote included, has at most 30 characters;
 *    at exactly 30 the cut has taken the quote already, and the last digit
 *    kept goes instead ("000...05" in quotes, 31 characters, reads 0).
 *  - An empty result gives the default.
 *
 * Converting to an integer (RtlUnicodeStringToInteger, base 0)
 *  - Leading characters up to the space (0x01..0x20) are skipped; then one
 *    '+' or '-'; then "0x", "0o" or "0b" (lower case only) choose base 16,
 *    8 or 2; then digits of that base (letters of either case) up to the
 *    first other character, wrapping modulo 2^32. No digits give 0.
 */
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"

typedef std::u16string Text;

enum { VALUE_BUFFER = 30 };

static bool readWholeFile(const char *path, std::string *bytes) {
  FILE *file = fopen(path, "rb");
  if (!file)
    return false;
  char chunk[65536];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
    bytes->append(chunk, got);
  bool failed = ferror(file) != 0;
  fclose(file);
  return !failed;
}

/* One UTF-8 sequence at bytes[*at]; a broken one is U+FFFD. */
static void decodeUtf8(const std::string &bytes, size_t *at, Text *text) {
  unsigned char lead = (unsigned char)bytes[*at];
  size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead >= 0x80 && (lead < 0xC2 || lead > 0xF4))
    length = 0;
  uint32_t code = length == 1 ? lead : lead & (0x3F >> length);
  for (size_t i = 1; i < length; i++) {
    unsigned char next = *at + i < bytes.size() ? bytes[*at + i] : 0;
    if ((next & 0xC0) != 0x80) {
      length = 0;
      break;
    }
    code = code << 6 | (next & 0x3F);
  }
  if (length == 0 || (code >= 0xD800 && code < 0xE000) ||
      (length == 3 && code < 0x800) || (length == 4 && code < 0x10000)) {
    text->push_back(0xFFFD);
    *at += 1;
    return;
  }
  if (code >= 0x10000) {
    text->push_back((char16_t)(0xD800 + ((code - 0x10000) >> 10)));
    text->push_back((char16_t)(0xDC00 + (code & 0x3FF)));
  } else {
    text->push_back((char16_t)code);
  }
  *at += length;
}

/* ANSI bytes above 0x7F: characters that are neither blanks nor digits. */
static const char16_t ANSI_HIGH = 0xE000;

static Text decodeFile(const std::string &bytes) {
  Text text;
  text.reserve(bytes.size());
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    for (size_t at = 3; at < bytes.size();)
      decodeUtf8(bytes, &at, &text);
    return text;
  }
  int little = bytes.compare(0, 2, "\xFF\xFE") == 0;
  int big = bytes.compare(0, 2, "\xFE\xFF") == 0;
  if (little || big) {
    for (size_t at = 2; at + 1 < bytes.size(); at += 2) {
      unsigned char first = bytes[at], second = bytes[at + 1];
      text.push_back(little ? (char16_t)(second << 8 | first)
                            : (char16_t)(first << 8 | second));
    }
    if (bytes.size() % 2)
      text.push_back((unsigned char)bytes.back());
    return text;
  }
  text.resize(bytes.size());
  for (size_t i = 0; i < bytes.size(); i++) {
    unsigned char c = (unsigned char)bytes[i];
    text[i] = c < 0x80 ? (char16_t)c : (char16_t)(ANSI_HIGH + c);
  }
  return text;
}

static Text fromAnsi(const char *name) {
  Text text;
  for (; *name; name++) {
    unsigned char c = (unsigned char)*name;
    text.push_back(c < 0x80 ? (char16_t)c : (char16_t)(ANSI_HIGH + c));
  }
  return text;
}

/* ASCII's white space, and Ctrl-Z; nothing beyond ASCII. */
static bool isBlank(char16_t c) {
  return c == 0x1A || (c >= 0x09 && c <= 0x0D) || c == 0x20;
}

/* A stretch of the file's text. */
struct Span {
  const char16_t *first, *last;
};

/* The span trimmed of blanks, then cut at a NUL. */
static Span trimmed(const char16_t *first, const char16_t *last) {
  while (first < last && isBlank(*first))
    first++;
  while (last > first && isBlank(last[-1]))
    last--;
  for (const char16_t *c = first; c < last; c++)
    if (*c == 0)
      return {first, c};
  return {first, last};
}

static Text trimmedText(const Text &text) {
  Span span = trimmed(text.data(), text.data() + text.size());
  return Text(span.first, span.last);
}

static char16_t folded(char16_t c) {
  if (c >= 'A' && c <= 'Z')
    return c + ('a' - 'A');
  return c;
}

static bool sameName(Span name, const Text &wanted) {
  if ((size_t)(name.last - name.first) != wanted.size())
    return false;
  for (size_t i = 0; i < wanted.size(); i++)
    if (folded(name.first[i]) != folded(wanted[i]))
      return false;
  return true;
}

enum LineKind { NOT_FOUND, FOUND_NO_VALUE, FOUND_VALUE };

/* One line: a section gives its name and 1; a key gives 0, its name and
 * its value, with value.first null when the line has no '='. */
static int parseLine(const char16_t *first, const char16_t *last, Span *name,
                     Span *value) {
  while (first < last && isBlank(*first))
    first++;
  while (last > first && isBlank(last[-1]))
    last--;
  if (first < last && *first == '[') {
    const char16_t *close = last;
    while (close > first && close[-1] != ']')
      close--;
    if (close > first + 1) {
      *name = trimmed(first + 1, close - 1);
      return 1;
    }
  }
  const char16_t *equals = first;
  while (equals < last && *equals != '=')
    equals++;
  *name = trimmed(first, equals);
  *value = equals < last ? trimmed(equals + 1, last) : Span{nullptr, nullptr};
  return 0;
}

static LineKind findValue(const Text &file, const Text &section,
                          const Text &key, Text *value) {
  const char16_t *at = file.data(), *end = at + file.size();
  int inSection = 0;
  while (at < end) {
    const char16_t *lineEnd = at;
    while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n')
      lineEnd++;
    Span name, text;
    int isSection = parseLine(at, lineEnd, &name, &text);
    at = lineEnd < end ? lineEnd + 1 : end;
    if (isSection) {
      if (inSection)
        return NOT_FOUND; /* a later section of the name is not read */
      inSection = name.first < name.last && sameName(name, section);
      continue;
    }
    if (!inSection || !sameName(name, key))
      continue;
    if (!text.first)
      return FOUND_NO_VALUE;
    value->assign(text.first, text.last);
    return FOUND_VALUE;
  }
  return NOT_FOUND;
}

/* What kernel32 copies into its 30-character buffer. */
static Text bufferedValue(const Text &value) {
  Text rest = value;
  bool quoted = rest.size() >= 2 && (rest[0] == '"' || rest[0] == '\'') &&
                rest.back() == rest[0];
  if (quoted)
    rest.erase(0, 1);
  Text buffer = rest.substr(0, VALUE_BUFFER - 1);
  if (quoted && rest.size() <= VALUE_BUFFER && !buffer.empty())
    buffer.pop_back();
  return buffer;
}

static int32_t profileInteger(const Text &text) {
  size_t at = 0, size = text.size();
  while (at < size && text[at] <= ' ')
    at++;
  int negative = at < size && text[at] == '-';
  if (at < size && (text[at] == '-' || text[at] == '+'))
    at++;
  uint32_t base = 10;
  if (at + 1 < size && text[at] == '0' &&
      (text[at + 1] == 'x' || text[at + 1] == 'o' || text[at + 1] == 'b')) {
    base = text[at + 1] == 'x' ? 16 : text[at + 1] == 'o' ? 8 : 2;
    at += 2;
  }
  uint32_t value = 0;
  for (; at < size; at++) {
    char16_t c = text[at];
    uint32_t digit = c >= '0' && c <= '9'   ? c - '0'
                     : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                     : c >= 'a' && c <= 'z' ? c - 'a' + 10
                                            : 99;
    if (digit >= base)
      break;
    value = value * base + digit;
  }
  return (int32_t)(negative ? 0u - value : value);
}

int32_t platformProfileInt(const char *section, const char *key,
                           int32_t defaultValue, const char *path) {
  Text sectionName = fromAnsi(section), keyName = fromAnsi(key);
  sectionName = trimmedText(sectionName);
  keyName = trimmedText(keyName);
  std::string bytes;
  if (!readWholeFile(path, &bytes))
    return defaultValue;
  Text value;
  if (findValue(decodeFile(bytes), sectionName, keyName, &value) != FOUND_VALUE)
    return defaultValue;
  Text buffer = bufferedValue(value);
  if (buffer.empty())
    return defaultValue;
  return profileInteger(buffer);
}

/* The value as GetPrivateProfileStringA hands it back: one pair of
 * enclosing quotes dropped, each unit of an ANSI file back as its byte.
 * (A UTF-8 or UTF-16 file's characters beyond ASCII come back as '?',
 * where kernel32 would convert them to the ANSI code page.) */
uint32_t platformProfileString(const char *section, const char *key,
                               char *buffer, uint32_t size, const char *path) {
  if (size == 0)
    return 0;
  buffer[0] = '\0';
  Text sectionName = trimmedText(fromAnsi(section));
  Text keyName = trimmedText(fromAnsi(key));
  std::string bytes;
  Text value;
  if (!readWholeFile(path, &bytes) ||
      findValue(decodeFile(bytes), sectionName, keyName, &value) != FOUND_VALUE)
    return 0;
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
      value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  uint32_t length = 0;
  for (; length < value.size() && length + 1 < size; length++) {
    char16_t unit = value[length];
    buffer[length] = unit >= ANSI_HIGH && unit < ANSI_HIGH + 0x100
                         ? (char)(unit - ANSI_HIGH)
                     : unit < 0x80 ? (char)unit
                                   : '?';
  }
  buffer[length] = '\0';
  return length;
}
