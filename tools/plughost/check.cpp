/*
 * `plughost check`. The file's lines are parsed here as Windows' profile
 * reader parses them (sim/profile.cpp lists its rules: a line ends at CR
 * or LF, Ctrl-Z is a blank, a section is named by what lies between '['
 * and the last ']', only the first section of a name is read and in it
 * the first key of a name, and nothing before the first section), with
 * ";" lines taken as the comments they are meant to be. Each value,
 * though, is read through the platform's reader by the plug-in's own
 * functions (plugin/settings.h), so that what is judged is what the
 * plug-in gets.
 */
#include "plughost/check.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "plughost/plughost.h"
#include "plugin/settings.h"

/* The section the catalogue reads the families' own keys from. */
static const char COMMAND_SECTION[] = "Command";

enum KnownKind {
  KNOWN_NUMBER,       /* a [Setting] number that is no switch */
  KNOWN_SWITCH,       /* on for exactly its on-value */
  KNOWN_AMOUNT_SLOTS, /* "<key>0".."<key>9", each 0..SETTING_NUMBER_MAX */
  KNOWN_SWITCH_SLOTS, /* "<key>0".."<key>9", each on for 1 */
  KNOWN_TEXT_SLOTS    /* "<key>0".."<key>9", each a text */
};

struct KnownKey {
  const char *section;
  const char *key; /* the stem, for slots */
  KnownKind kind;
  int32_t onValue;
  SettingTextId text; /* of a text slot, and the texts a number row needs */
  int needsText;      /* a number row's slot offers only beside its text */
};

enum {
  KNOWN_MAX = SETTING_COUNT + COMMAND_FAMILY_COUNT + SETTING_TEXT_COUNT +
              SETTING_NUMBER_COUNT,
  NAME_SIZE = 64,
  RAW_VALUE_SIZE = 1024,
  NO_LINE = 0
};

struct KnownKeys {
  KnownKey keys[KNOWN_MAX];
  size_t count;
  const char *sections[KNOWN_MAX];
  size_t sectionCount;
};

static int hasSlots(KnownKind kind) {
  return kind == KNOWN_AMOUNT_SLOTS || kind == KNOWN_SWITCH_SLOTS ||
         kind == KNOWN_TEXT_SLOTS;
}

/* Rows that share a key (UpDown's two, MuteOnOff's two) are one key. */
static void addKnown(KnownKeys *known, const KnownKey &key) {
  for (size_t k = 0; k < known->count; k++)
    if (sameText(known->keys[k].key, key.key))
      return;
  if (known->count == KNOWN_MAX)
    return;
  known->keys[known->count++] = key;
  for (size_t k = 0; k < known->sectionCount; k++)
    if (sameText(known->sections[k], key.section))
      return;
  known->sections[known->sectionCount++] = key.section;
}

static void collectKnownKeys(FamilyTable families, KnownKeys *known) {
  known->count = known->sectionCount = 0;
  for (const SettingRow &row : SETTING_ROWS)
    addKnown(known, {row.section, row.key,
                     row.onValue == NOT_A_SWITCH ? KNOWN_NUMBER : KNOWN_SWITCH,
                     row.onValue, SETTING_TEXT_COUNT, 0});
  for (size_t k = 0; k < families.count; k++) {
    const CommandFamily &row = families.rows[k];
    if (row.keyKind == KEY_SWITCH)
      addKnown(known, {COMMAND_SECTION, row.key, KNOWN_SWITCH, 1,
                       SETTING_TEXT_COUNT, 0});
    else if (row.keyKind == KEY_NUMBER_SLOTS)
      addKnown(known, {COMMAND_SECTION, row.key, KNOWN_AMOUNT_SLOTS, 0,
                       SETTING_TEXT_COUNT, 0});
  }
  for (const SettingTextRow &row : SETTING_TEXT_ROWS)
    addKnown(known, {row.section, row.key, KNOWN_TEXT_SLOTS, 0, row.id, 0});
  for (const SettingNumberRow &row : SETTING_NUMBER_ROWS)
    addKnown(known, {row.section, row.key,
                     row.kind == NUMBER_SWITCH ? KNOWN_SWITCH_SLOTS
                                               : KNOWN_AMOUNT_SLOTS,
                     1, row.text, 1});
}

/* The key's name in the file: "<key><slot>" for slots. */
static void keyName(const KnownKey &key, int slot, char name[NAME_SIZE]) {
  if (hasSlots(key.kind))
    snprintf(name, NAME_SIZE, "%s%d", key.key, slot);
  else
    snprintf(name, NAME_SIZE, "%s", key.key);
}

/* The known key a name is, in any case, with its slot; -1 when none. */
static int findKnownKey(const KnownKeys *known, const char *name, int *slot) {
  size_t length = strlen(name);
  char stem[NAME_SIZE];
  for (size_t k = 0; k < known->count && length < NAME_SIZE; k++) {
    const KnownKey &key = known->keys[k];
    int digit = length > 0 ? name[length - 1] - '0' : -1;
    if (hasSlots(key.kind) && (digit < 0 || digit > 9))
      continue;
    snprintf(stem, sizeof stem, "%.*s",
             (int)(length - (hasSlots(key.kind) ? 1 : 0)), name);
    if (sameText(stem, key.key)) {
      *slot = hasSlots(key.kind) ? digit : 0;
      return (int)k;
    }
  }
  return -1;
}

static int folded(char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

/* Levenshtein's distance without regard to ASCII case; known names, the
 * second, are short. */
static size_t editDistance(const char *given, const char *name) {
  size_t row[NAME_SIZE + 1], length = strlen(name);
  if (length > NAME_SIZE)
    return SIZE_MAX;
  for (size_t j = 0; j <= length; j++)
    row[j] = j;
  for (size_t i = 1; given[i - 1]; i++) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= length; j++) {
      size_t above = row[j];
      size_t replace = diagonal + (folded(given[i - 1]) != folded(name[j - 1]));
      size_t shorter = (above < row[j - 1] ? above : row[j - 1]) + 1;
      row[j] = replace < shorter ? replace : shorter;
      diagonal = above;
    }
  }
  return row[length];
}

/* Near enough to be what was meant: a slip or two, or a third of it. */
static int nearEnough(size_t distance, const char *given) {
  return distance <= 2 || distance * 3 <= strlen(given);
}

/* The known name nearest the given one, and its section; 0 when none is
 * near enough. */
static int nearestKey(const KnownKeys *known, const char *given,
                      char nearest[NAME_SIZE], const char **section) {
  size_t best = SIZE_MAX;
  for (size_t k = 0; k < known->count; k++) {
    const KnownKey &key = known->keys[k];
    for (int slot = 0; slot < (hasSlots(key.kind) ? SETTING_TEXT_SLOTS : 1);
         slot++) {
      char name[NAME_SIZE];
      keyName(key, slot, name);
      size_t distance = editDistance(given, name);
      if (distance < best) {
        best = distance;
        memcpy(nearest, name, NAME_SIZE);
        *section = key.section;
      }
    }
  }
  return best != SIZE_MAX && nearEnough(best, given);
}

static const char *nearestSection(const KnownKeys *known, const char *given) {
  size_t best = SIZE_MAX;
  const char *nearest = nullptr;
  for (size_t k = 0; k < known->sectionCount; k++) {
    size_t distance = editDistance(given, known->sections[k]);
    if (distance < best) {
      best = distance;
      nearest = known->sections[k];
    }
  }
  return nearest && nearEnough(best, given) ? nearest : nullptr;
}

/* ---- The file's text ---------------------------------------------------- */

enum FileEncoding { FILE_ANSI, FILE_UTF8, FILE_UTF8_MARK, FILE_UTF16 };

/* The bytes the lines are parsed from: the file's own, after a UTF-8
 * mark; of a UTF-16 file its ASCII, each other character a '?'. */
struct SettingsText {
  char *bytes;
  size_t size;
  FileEncoding encoding;
  int bigEndian;     /* of UTF-16 */
  unsigned utf8Line; /* the first line with a UTF-8 character */
};

/* The length of a valid UTF-8 sequence at at, or 0. The second byte's
 * range shuts out overlong forms, surrogates and what lies past U+10FFFF. */
static size_t utf8Sequence(const unsigned char *at, const unsigned char *end) {
  unsigned lead = at[0];
  size_t length = lead < 0x80   ? 1
                  : lead < 0xC2 ? 0
                  : lead < 0xE0 ? 2
                  : lead < 0xF0 ? 3
                  : lead < 0xF5 ? 4
                                : 0;
  if (length == 0 || (size_t)(end - at) < length)
    return 0;
  unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  for (size_t i = 1; i < length; i++, low = 0x80, high = 0xBF)
    if (at[i] < low || at[i] > high)
      return 0;
  return length;
}

/* A line ends at LF, at CR and at CR LF, as one. */
static int endsLine(const char *at, const char *end) {
  return *at == '\n' || (*at == '\r' && (at + 1 == end || at[1] != '\n'));
}

/* The line of the first UTF-8 character beyond ASCII, where the whole
 * text is valid UTF-8 and has one: code page 932's Japanese is hardly
 * ever valid UTF-8, as its lead bytes 0x81..0x9F cannot begin a UTF-8
 * sequence; NO_LINE otherwise. */
static unsigned firstUtf8Line(const char *bytes, size_t size) {
  const unsigned char *at = (const unsigned char *)bytes, *end = at + size;
  unsigned line = 1, found = NO_LINE;
  while (at < end) {
    size_t length = utf8Sequence(at, end);
    if (length == 0)
      return NO_LINE;
    if (length > 1 && found == NO_LINE)
      found = line;
    line += endsLine((const char *)at, (const char *)end);
    at += length;
  }
  return found;
}

/* A UTF-16 file's ASCII, for its keys; each other character is '?'. */
static void narrowUtf16(SettingsText *text) {
  size_t units = (text->size - 2) / 2;
  const unsigned char *from = (const unsigned char *)text->bytes + 2;
  for (size_t k = 0; k < units; k++) {
    unsigned unit = text->bigEndian ? from[2 * k] << 8 | from[2 * k + 1]
                                    : from[2 * k + 1] << 8 | from[2 * k];
    text->bytes[k] = unit > 0 && unit < 0x80 ? (char)unit : '?';
  }
  text->size = units;
}

/* The whole file, and what it is written in; 0 when it cannot be read. */
static int readSettingsText(const char *path, SettingsText *text) {
  *text = SettingsText();
  FILE *file = fopen(path, "rb");
  if (!file)
    return 0;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
    char *grown = (char *)realloc(text->bytes, text->size + got);
    if (!grown)
      break;
    text->bytes = grown;
    memcpy(text->bytes + text->size, chunk, got);
    text->size += got;
  }
  int read = !ferror(file) && got == 0;
  fclose(file);
  const char *bytes = text->bytes ? text->bytes : "";
  if (text->size >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
    text->encoding = FILE_UTF8_MARK;
    memmove(text->bytes, bytes + 3, text->size -= 3);
  } else if (text->size >= 2 && (memcmp(bytes, "\xFF\xFE", 2) == 0 ||
                                 memcmp(bytes, "\xFE\xFF", 2) == 0)) {
    text->encoding = FILE_UTF16;
    text->bigEndian = bytes[0] == '\xFE';
    narrowUtf16(text);
  } else {
    text->utf8Line = firstUtf8Line(bytes, text->size);
    text->encoding = text->utf8Line != NO_LINE ? FILE_UTF8 : FILE_ANSI;
  }
  return read;
}

/* ---- The lines ---------------------------------------------------------- */

/* Where the lines read are: before the first section, in the first
 * section of a known name, or where nothing is read. */
enum Whereabouts { BEFORE_SECTIONS, IN_KNOWN_SECTION, NEVER_READ };

struct CheckState {
  FILE *out;
  const char *path;
  FamilyTable families;
  FileEncoding encoding;
  KnownKeys known;
  Whereabouts where;
  const char *section;
  unsigned sectionLine[KNOWN_MAX]; /* by known section: its first line */
  unsigned keyLine[KNOWN_MAX][SETTING_TEXT_SLOTS]; /* by key and slot */
  int problems;
};

struct Span {
  const char *first, *last;
};

/* The profile reader's blanks: ASCII's white space, and Ctrl-Z. */
static int isBlank(char c) {
  return c == 0x1A || (c >= 0x09 && c <= 0x0D) || c == ' ';
}

static Span trimmed(Span span) {
  while (span.first < span.last && isBlank(*span.first))
    span.first++;
  while (span.last > span.first && isBlank(span.last[-1]))
    span.last--;
  return span;
}

/* A name as the reader takes it: it ends at a NUL, and one too long for
 * the buffer is no name the tables hold either. */
static void copyName(Span span, char name[NAME_SIZE]) {
  int length = (int)(span.last - span.first);
  snprintf(name, NAME_SIZE, "%.*s", length < NAME_SIZE ? length : NAME_SIZE,
           span.first);
}

/* A line of the file as it stands, for the terminal: an ANSI file's
 * text from code page 932, a UTF-8 one's as it is. */
static void writeLineText(const CheckState *state, Span span) {
  char text[RAW_VALUE_SIZE];
  int length = (int)(span.last - span.first);
  snprintf(text, sizeof text, "%.*s", length, span.first);
  if (state->encoding == FILE_ANSI)
    writeCodePageText(state->out, text);
  else
    fputs(text, state->out);
}

/* Where a problem is and what the line says; the caller says why it
 * offers nothing. */
static void startProblem(CheckState *state, unsigned line, Span text) {
  state->problems++;
  if (line == NO_LINE)
    return;
  fprintf(state->out, "line %u: ", line);
  writeLineText(state, text);
  fputs(": ", state->out);
}

static void problem(CheckState *state, unsigned line, Span text,
                    const char *format, ...) {
  startProblem(state, line, text);
  va_list arguments;
  va_start(arguments, format);
  vfprintf(state->out, format, arguments);
  va_end(arguments);
  fputc('\n', state->out);
}

static void enterSection(CheckState *state, unsigned line, Span text,
                         const char *name) {
  const KnownKeys &known = state->known;
  size_t index = 0;
  while (index < known.sectionCount && !sameText(known.sections[index], name))
    index++;
  state->where = NEVER_READ;
  if (index == known.sectionCount) {
    const char *nearest = nearestSection(&known, name);
    problem(state, line, text, "no such section%s%s%s: its keys are never read",
            nearest ? " ([" : "", nearest ? nearest : "", nearest ? "]?)" : "");
  } else if (state->sectionLine[index] != NO_LINE) {
    problem(state, line, text,
            "the section again: never read, only its first one (line %u)",
            state->sectionLine[index]);
  } else {
    state->sectionLine[index] = line;
    state->where = IN_KNOWN_SECTION;
    state->section = known.sections[index];
  }
}

/* ---- The values, as the plug-in reads them ----------------------------- */

/* What kernel32's integer reader takes for a number: after characters up
 * to the space and a sign, a digit; "yes" and "; spare" read as 0. */
static int isNumber(const char *text) {
  while (*text > 0 && *text <= ' ')
    text++;
  text += *text == '+' || *text == '-';
  return *text >= '0' && *text <= '9';
}

/* A switch's value; 0 where it is on. A number 0 is off as meant. */
static int checkSwitch(CheckState *state, unsigned line, Span text,
                       const KnownKey &key, const char *name, const char *raw) {
  int32_t value = settingInt(state->path, key.section, name, 0);
  if (value == key.onValue)
    return 0;
  if (!isNumber(raw))
    problem(state, line, text, "not a number: off, only %d turns it on",
            (int)key.onValue);
  else if (value != 0)
    problem(state, line, text, "off: only %d turns it on", (int)key.onValue);
  return 1;
}

/* A number slot's value; 0 where it offers its command. */
static int checkAmount(CheckState *state, unsigned line, Span text,
                       const KnownKey &key, int slot, const char *raw) {
  int32_t value =
      readSettingNumber(state->path, key.section, key.key, (uint32_t)slot);
  if (!isNumber(raw))
    problem(state, line, text, "not a number: read as %d", (int)value);
  else if (!numberOffers(NUMBER_AMOUNT, value))
    problem(state, line, text, "out of range: a number slot takes 0 to %d",
            SETTING_NUMBER_MAX);
  return !numberOffers(NUMBER_AMOUNT, value);
}

/* Whether a family offers a command for a text slot alone. */
static int textOfferedAlone(FamilyTable families, SettingTextId text) {
  for (size_t k = 0; k < families.count; k++)
    if (families.rows[k].keyKind == KEY_TEXT_SLOTS &&
        families.rows[k].text == text)
      return 1;
  return 0;
}

/* The number slots of a text slot, "OutputUpDown3, OutputSet3 or
 * OutputMute3"; whether one of them offers its command. */
static int numberSlotsOfText(const char *path, SettingTextId text, int slot,
                             char *names, size_t size) {
  int offers = 0;
  size_t used = 0, count = 0, total = 0;
  for (const SettingNumberRow &row : SETTING_NUMBER_ROWS)
    total += row.text == text;
  names[0] = '\0';
  for (const SettingNumberRow &row : SETTING_NUMBER_ROWS) {
    if (row.text != text)
      continue;
    offers |=
        numberOffers(row.kind, readSettingNumber(path, row.section, row.key,
                                                 (uint32_t)slot));
    count++;
    const char *joint = count == 1 ? "" : count == total ? " or " : ", ";
    int length =
        snprintf(names + used, size - used, "%s%s%d", joint, row.key, slot);
    used += length > 0 && (size_t)length < size - used ? (size_t)length : 0;
  }
  return offers;
}

static void checkText(CheckState *state, unsigned line, Span text,
                      const KnownKey &key, int slot, const char *raw) {
  char kept[SETTING_TEXT_SIZE], numbers[256];
  readSettingText(state->path, key.section, key.key, (uint32_t)slot, kept);
  if (strlen(raw) > strlen(kept)) {
    startProblem(state, line, text);
    fprintf(state->out, "cut to %d bytes: \"", (int)strlen(kept));
    writeLineText(state, Span{kept, kept + strlen(kept)});
    fputs("\"\n", state->out);
  }
  if (!textOfferedAlone(state->families, key.text) &&
      !numberSlotsOfText(state->path, key.text, slot, numbers, sizeof numbers))
    problem(state, line, text, "offers nothing without %s",
            numbers[0] ? numbers : "a number slot");
}

/* A number slot of a text slot, which offers its command only beside a
 * text. */
static void checkTextOfNumber(CheckState *state, unsigned line, Span text,
                              const KnownKey &key, int slot) {
  const SettingTextRow &texts = SETTING_TEXT_ROWS[key.text];
  char kept[SETTING_TEXT_SIZE];
  readSettingText(state->path, texts.section, texts.key, (uint32_t)slot, kept);
  if (!kept[0])
    problem(state, line, text, "offers nothing: %s%d holds no text", texts.key,
            slot);
}

static void checkValue(CheckState *state, unsigned line, Span text,
                       const KnownKey &key, int slot) {
  char name[NAME_SIZE], raw[RAW_VALUE_SIZE];
  keyName(key, slot, name);
  /* No value: the key is unused, as the example file's "Output0=". */
  if (platformProfileString(key.section, name, raw, sizeof raw, state->path) ==
      0)
    return;
  int fails = 0;
  switch (key.kind) {
  case KNOWN_NUMBER:
    if (!isNumber(raw))
      problem(state, line, text, "not a number: read as %d",
              (int)settingInt(state->path, key.section, name, 0));
    break;
  case KNOWN_SWITCH:
  case KNOWN_SWITCH_SLOTS:
    fails = checkSwitch(state, line, text, key, name, raw);
    break;
  case KNOWN_AMOUNT_SLOTS:
    fails = checkAmount(state, line, text, key, slot, raw);
    break;
  case KNOWN_TEXT_SLOTS:
    checkText(state, line, text, key, slot, raw);
    break;
  }
  if (key.needsText && !fails)
    checkTextOfNumber(state, line, text, key, slot);
}

/* ---- Keys and lines ----------------------------------------------------- */

static void unknownKey(CheckState *state, unsigned line, Span text,
                       const char *name) {
  char nearest[NAME_SIZE];
  const char *section = nullptr;
  if (!nearestKey(&state->known, name, nearest, &section))
    problem(state, line, text, "no such key");
  else if (sameText(section, state->section))
    problem(state, line, text, "no such key (%s?)", nearest);
  else
    problem(state, line, text, "no such key (%s of [%s]?)", nearest, section);
}

/* A key the reader finds only in its first line of the first section of
 * its name; a line without "=" still counts as that first line, with no
 * value. */
static void checkKeyLine(CheckState *state, unsigned line, Span text) {
  if (state->where == NEVER_READ)
    return;
  if (state->where == BEFORE_SECTIONS) {
    problem(state, line, text, "before any section: never read");
    return;
  }
  const char *equals =
      (const char *)memchr(text.first, '=', (size_t)(text.last - text.first));
  char name[NAME_SIZE];
  copyName(trimmed(Span{text.first, equals ? equals : text.last}), name);
  int slot = 0, index = findKnownKey(&state->known, name, &slot);
  if (index < 0) {
    if (equals)
      unknownKey(state, line, text, name);
    else
      problem(state, line, text, "no \"=\": not a key");
    return;
  }
  const KnownKey &key = state->known.keys[index];
  unsigned *first = &state->keyLine[index][slot];
  if (!sameText(key.section, state->section))
    problem(state, line, text, "not read in this section: it belongs in [%s]",
            key.section);
  else if (*first != NO_LINE)
    problem(state, line, text, "never read: line %u sets it first", *first);
  else if (!equals) {
    *first = line;
    problem(state, line, text, "no \"=\": no value");
  } else {
    *first = line;
    checkValue(state, line, text, key, slot);
  }
}

static void checkLine(CheckState *state, unsigned line, Span text) {
  text = trimmed(text);
  if (text.first == text.last || *text.first == ';')
    return;
  const char *close = text.last;
  while (close > text.first && close[-1] != ']')
    close--;
  if (*text.first == '[' && close > text.first + 1) {
    char name[NAME_SIZE];
    copyName(trimmed(Span{text.first + 1, close - 1}), name);
    enterSection(state, line, text, name);
  } else {
    checkKeyLine(state, line, text);
  }
}

static void checkLines(CheckState *state, const SettingsText *text) {
  const char *at = text->bytes, *end = at + text->size;
  for (unsigned line = 1; at < end; line++) {
    const char *lineEnd = at;
    while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n')
      lineEnd++;
    checkLine(state, line, Span{at, lineEnd});
    at = lineEnd + (lineEnd < end);
    if (lineEnd < end && *lineEnd == '\r' && at < end && *at == '\n')
      at++;
  }
}

static void checkEncoding(CheckState *state, const SettingsText *text) {
  const Span none = {nullptr, nullptr};
  if (text->encoding == FILE_UTF8_MARK)
    problem(state, NO_LINE, none,
            "file: UTF-8 with a byte-order mark, not the ANSI code page: "
            "Windows reads the mark as text of the first line and every "
            "text as ANSI; save the file as ANSI");
  else if (text->encoding == FILE_UTF8)
    problem(state, NO_LINE, none,
            "file: UTF-8 (line %u), not the ANSI code page: Windows reads its "
            "texts as ANSI, and a name beyond ASCII matches no device; save "
            "the file as ANSI",
            text->utf8Line);
  else if (text->encoding == FILE_UTF16)
    problem(state, NO_LINE, none,
            "file: UTF-16 (%s-endian), not the ANSI code page; save the file "
            "as ANSI",
            text->bigEndian ? "big" : "little");
}

/* ---- The check ---------------------------------------------------------- */

/* Each [Setting] value as the plug-in reads it; a key the reader does not
 * find gives its default, and so does not give two different ones. */
static void writeSettingValues(FILE *out, const char *path) {
  for (const SettingRow &row : SETTING_ROWS) {
    int missing =
        hostProfileInt(row.section, row.key, INT32_MIN, path) == INT32_MIN &&
        hostProfileInt(row.section, row.key, INT32_MAX, path) == INT32_MAX;
    fprintf(out, "  %s=%d%s\n", row.key, (int)pluginSetting(row.id, path),
            missing ? "  (not in the file: its default)" : "");
  }
}

int checkSettingsFile(FILE *out, const char *settingsPath,
                      FamilyTable families) {
  SettingsText text;
  if (!readSettingsText(settingsPath, &text)) {
    fprintf(out,
            "settings file  %s: cannot be read (%s): every setting is "
            "its default\n",
            settingsPath, strerror(errno));
    free(text.bytes);
    return EXIT_FAILED;
  }
  fprintf(out, "settings file  %s\n", settingsPath);
  writeSettingValues(out, settingsPath);
  CheckState state = CheckState();
  state.out = out;
  state.path = settingsPath;
  state.families = families;
  state.encoding = text.encoding;
  collectKnownKeys(families, &state.known);
  checkEncoding(&state, &text);
  checkLines(&state, &text);
  free(text.bytes);
  if (state.problems == 0)
    fputs("no problem found\n", out);
  else
    fprintf(out, "%d problem%s found\n", state.problems,
            state.problems == 1 ? "" : "s");
  return state.problems == 0 ? EXIT_DONE : EXIT_FAILED;
}

int checkPluginSettings(const char *pluginPath) {
  char reason[512] = "", settingsPath[4096];
  void *library = hostLoadPlugin(pluginPath, reason, sizeof reason);
  if (!library) {
    reportUnloadable(pluginPath, reason);
    return EXIT_BAD_USE;
  }
  int found =
      hostSettingsPath(library, pluginPath, settingsPath, sizeof settingsPath);
  hostUnloadPlugin(library);
  if (!found) {
    fprintf(stderr, "plughost: %s: its name gives no settings file\n",
            pluginPath);
    return EXIT_FAILED;
  }
  return checkSettingsFile(stdout, settingsPath, PLUGIN_FAMILIES);
}
