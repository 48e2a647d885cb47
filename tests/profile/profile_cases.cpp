/*
 * INI files that the platform's profile reader and the sim's must read
 * alike, with the keys to ask for. Every case is one file and a few
 * queries; the set is fixed (the random part has a fixed seed), so that a
 * failing case keeps its number from run to run.
 */
#include "profile_cases.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

const char *const CRLF = "\r\n";

/* A query of [S] K with the usual default. */
ProfileQuery sk(int32_t defaultValue = 77) { return {"S", "K", defaultValue}; }

/* Values, each read from "[S]<eol>K=<value><eol>". */
const char *const VALUES[] = {
    "5",
    "-5",
    "+5",
    " 5",
    "\t5",
    "5 ",
    "5\t",
    "  -12  ",
    "--5",
    "+-5",
    "-+5",
    "- 5",
    "+ 5",
    "0",
    "00",
    "-0",
    "01",
    "08",
    "010",
    "0x1F",
    "0X1F",
    "0x1f",
    "-0x10",
    "+0x10",
    "0x",
    "0xg",
    "0x-5",
    "0o17",
    "0O17",
    "0o8",
    "0b101",
    "0B101",
    "0b2",
    "0b",
    "0o",
    "0d10",
    "0h10",
    "x10",
    "#10",
    "$10",
    "&H10",
    "4294967295",
    "4294967296",
    "4294967297",
    "2147483647",
    "2147483648",
    "-2147483648",
    "-2147483649",
    "99999999999999999999",
    "0xFFFFFFFF",
    "0x100000000",
    "0x7FFFFFFF",
    "0x80000000",
    "-0x80000000",
    "0b11111111111111111111111111111111",
    "12abc",
    "abc",
    "a12",
    "z",
    "Z9",
    "1e3",
    "1.0",
    "1.5",
    "1,5",
    "1 2",
    "1_000",
    "\"5\"",
    "'9'",
    "\"5'",
    "'5\"",
    "\" 8\"",
    "\"8 \"",
    "\"\"",
    "''",
    "\"",
    "'",
    "\"5",
    "5\"",
    "\"\"5\"\"",
    "\"-7\"",
    "\" \"",
    "\"0x10\"",
    "1 ; note",
    "1;x",
    ";5",
    "=5",
    "==5",
    "5=6",
    "\x0b"
    "5",
    "\x0c"
    "5",
    "\x1c"
    "5",
    "\x1d"
    "5",
    "\x1e"
    "5",
    "\x1f"
    "5",
    "\x01"
    "5",
    "\x7f"
    "5",
    "\x1a"
    "5",
    "5\x1a",
    "5\x0b",
    "5\x1f",
    "\xa0"
    "5",
    "\xc2\xa0"
    "5",
    "5\xa0",
    "+"
    "\t"
    "5",
    "-\x01"
    "5",
};

/* Values of a given length: digits padded with leading zeros, in and out
 * of quotes, around the length a reader's buffer might cut at. */
std::string zeros(size_t length, const std::string &tail) {
  return std::string(length - tail.size(), '0') + tail;
}

void addValueCases(std::vector<ProfileCase> &cases) {
  std::vector<std::string> values(std::begin(VALUES), std::end(VALUES));
  for (size_t length : {27, 28, 29, 30, 31, 32, 40, 100, 1000, 5000}) {
    values.push_back(zeros(length, "7"));
    values.push_back("-" + zeros(length - 1, "42"));
    values.push_back("\"" + zeros(length - 2, "5") + "\"");
    values.push_back("'" + zeros(length - 2, "6") + "'");
    values.push_back("0x" + zeros(length - 2, "1F"));
    values.push_back(std::string(length - 1, ' ') + "3");
    values.push_back("3" + std::string(length - 1, ' ') + "9");
    values.push_back("\"" + std::string(length - 3, ' ') + "4\"");
  }
  values.push_back(std::string(2000, '9'));
  const char *const ends[] = {"\r\n", "\n", "\r"};
  for (size_t i = 0; i < values.size(); i++) {
    std::string eol = ends[i % 3];
    cases.push_back({"value", "[S]" + eol + "K=" + values[i] + eol, {sk()}});
  }
}

/* The file layouts: sections, keys, comments, line ends. */
void addLayoutCases(std::vector<ProfileCase> &cases) {
  struct Layout {
    const char *text;
    std::vector<ProfileQuery> queries;
  };
  const std::vector<ProfileQuery> plain = {sk(), {"s", "k", 77}};
  const Layout layouts[] = {
      {"", plain},
      {"[S]\nK=5\n", plain},
      {"[S]\nK=5", plain},
      {"[s]\nk=5\n", plain},
      {"  [S]  \n   K   =5\n", plain},
      {"[ S ]\nK=5\n", {sk(), {" S ", "K", 77}, {"S ", "K", 77}}},
      {"[S ]\nK=5\n", plain},
      {"[ S]\nK=5\n", plain},
      {"[\tS\t]\nK=5\n", plain},
      {"[S] junk\nK=5\n", plain},
      {"[S]K=5\n", plain},
      {"[S]\nK=5 [T]\n", plain},
      {"[S\nK=5\n", {sk(), {"S", "[S", 77}, {"[S", "K", 77}}},
      {"[T]\n[S\nK=5\n", {sk(), {"T", "K", 77}, {"T", "[S", 77}}},
      {"S]\nK=5\n", plain},
      {"[[S]]\nK=5\n", {sk(), {"[S]", "K", 77}, {"[S", "K", 77}}},
      {"[S]]\nK=5\n", {sk(), {"S]", "K", 77}}},
      {"[S]x]\nK=5\n", {sk(), {"S]x", "K", 77}}},
      {"[]\nK=5\n", {sk(), {"", "K", 77}}},
      {"[ ]\nK=5\n", {sk(), {" ", "K", 77}, {"", "K", 77}}},
      {"K=5\n[S]\n", plain},
      {"K=5\n[S]\nK=6\n", plain},
      {"[T]\nK=5\n", plain},
      {"[S]\nJ=5\n", plain},
      {"[S]\nKey=5\n", plain},
      {"[SS]\nK=5\n", plain},
      {"[S]\nK=\n", plain},
      {"[S]\nK=  \n", plain},
      {"[S]\nK\n", plain},
      {"[S]\nK\nK=5\n", plain},
      {"[S]\nK 9\n", {sk(), {"S", "K 9", 77}}},
      {"[S]\nK=1\nK=2\n", plain},
      {"[S]\nk=1\nK=2\n", plain},
      {"[S]\nJ=1\n[S]\nK=2\n", plain},
      {"[S]\nK=1\n[S]\nK=2\n", plain},
      {"[s]\nJ=1\n[S]\nK=2\n", plain},
      {"[T]\nK=1\n[S]\nK=2\n", plain},
      {"[S]\n;K=1\nK=2\n", plain},
      {"[S]\n;K=1\n", {sk(), {"S", ";K", 77}}},
      {"[S]\n  ; K=1\n", {sk(), {"S", "; K", 77}}},
      {"[S]\n#K=1\n", {sk(), {"S", "#K", 77}}},
      {"[S]\n//K=1\n", plain},
      {";[T]\n[S]\nK=3\n", plain},
      {"[S]\n;[T]\nK=3\n", plain},
      {"[S]\nK = 5\n", plain},
      {"[S]\nK\t=\t5\n", plain},
      {"[S]\n K=5\n", plain},
      {"[S]\nK =\n", plain},
      {"[S]\n=5\nK=6\n", {sk(), {"S", "", 77}}},
      {"[S]\nK==5\n", plain},
      {"[S]\nK=5=6\n", plain},
      {"[S]\nK L=5\n", {sk(), {"S", "K L", 77}, {"S", "K  L", 77}}},
      {"[S T]\nK=5\n", {sk(), {"S T", "K", 77}, {"S  T", "K", 77}}},
      {"[S]\nK=5\n", {{" S", "K", 77}, {"S ", " K ", 77}, {"\tS\t", "K", 77}}},
      {"[S]\r\nK=5\r\n", plain},
      {"[S]\rK=5\r", plain},
      {"[S]\r\rK=5\r\r", plain},
      {"[S]\n\r\nK=5\n\n", plain},
      {"[S]\r\n\r\n\r\nK=5", plain},
      {"\n\n\n[S]\n\n\nK=5\n\n\n", plain},
      {"[S]\nK=5\r\n[T]\rK=6\n", {sk(), {"T", "K", 77}}},
      {"[S]\x1a\nK=5\x1a\n", plain},
      {"[S]\nK=5\n\x1a", plain},
      {"\x1a[S]\nK=5\n", plain},
      {"[S]\nK\x1a=5\n", plain},
      {"[S]\nK=\x1a\n", plain},
      {"[S]\n\x0bK=5\x0c\n", plain},
      {"[S]\n\x1cK=5\n", plain},
      {"[S]\n\x1fK=5\n", plain},
      {"[S]\x0b\nK=5\n", plain},
      {"[S]\nK\x0b=5\n", plain},
      {"[S]\nK=5\x0b\x0c\n", plain},
      {"\xef\xbb\xbf[S]\nK=5\n", plain},
      {"\xef\xbb\xbf\xef\xbb\xbf[S]\nK=5\n", plain},
      {"[S]\n\xef\xbb\xbfK=5\n", plain},
      {"[S]\nK=\xef\xbb\xbf"
       "5\n",
       plain},
      {"\xef\xbb[S]\nK=5\n", plain},
      {"[S]\nK\0=5\n", plain},
      {"[S]\nK=5\n",
       {{"S", "K", -1},
        {"S", "K", 0},
        {"S", "J", -1},
        {"S", "J", 0},
        {"S", "J", 4},
        {"T", "K", -2147483647}}},
      {"[Setting]\nVolComponentType=12\n[Command]\nUpDown0=5\nSet0=50\n",
       {{"Setting", "VolComponentType", 4},
        {"setting", "volcomponenttype", 4},
        {"Command", "UpDown0", -1},
        {"Command", "Set0", -1},
        {"Command", "Set1", -1},
        {"Command", "VolComponentType", -1}}},
  };
  for (const Layout &layout : layouts)
    cases.push_back({"layout", layout.text, layout.queries});
  /* Texts with NUL bytes inside; the table above stops at the first. */
  const std::string withNul[] = {
      std::string("[S]\nK\0X=5\n", 10),
      std::string("[S]\nK=5\0"
                  "9\n",
                  10),
      std::string("[S\0T]\nK=5\n", 10),
      std::string("[S]\n\0K=5\n", 9),
      std::string("\0[S]\nK=5\n", 9),
      std::string("[S]\nK=\0"
                  "5\n",
                  9),
      std::string("[S]\nK=\"5\0\"\n", 11),
  };
  for (const std::string &text : withNul)
    cases.push_back({"nul", text, plain});
}

std::string utf16(const std::u16string &text, bool bigEndian, bool bom) {
  std::string bytes;
  std::u16string all = bom ? u"\uFEFF" + text : text;
  for (char16_t unit : all) {
    char high = (char)(unit >> 8), low = (char)(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

/* The same files in UTF-16 (both byte orders, with and without a mark)
 * and with blanks that only Unicode has. */
void addUnicodeCases(std::vector<ProfileCase> &cases) {
  const std::vector<ProfileQuery> plain = {sk(), {"s", "k", 77}};
  const std::u16string texts[] = {
      u"[S]\r\nK=5\r\n",
      u"[S]\nK=-0x10\n",
      u"[S]\rK=\"7\"\r",
      u"[s]\r\nk= 42 \r\n",
      u"\uFEFF[S]\r\nK=5\r\n",
      u"[S]\r\nK=\uFF15\r\n",
      u"[S]\r\nK=\u0665\r\n",
      u"[S]\r\nK=\u00A05\r\n",
      u"[S]\r\nK=\u30005\r\n",
      u"[S]\r\nK=\u20005\r\n",
      u"[S]\r\nK=\u20285\r\n",
      u"[S]\r\nK=\u00855\r\n",
      u"[S]\r\nK=\u16805\r\n",
      u"[S]\r\nK=\u202F5\r\n",
      u"[S]\r\nK=\u205F5\r\n",
      u"[S]\r\nK=\uFEFF5\r\n",
      u"[S]\r\nK=\u200B5\r\n",
      u"[S]\r\nK=5\u3000\r\n",
      u"[S]\u2028K=5\u2029",
      u"[S]\u0085K=5\r\n",
      u"\u3000[S]\u3000\r\nK\u3000=5\r\n",
      u"[S]\r\nK=\u00B2\r\n",
      u"[S]\r\nK=\u0131\r\n",
      u"[\u0130]\r\nK=5\r\n",
      u"[S]\r\n\u212A=5\r\n",

      u"[S]\r\nK=0x\uFF21\r\n",
      u"[S]\r\nK=12\u0000"
      u"9\r\n",
  };
  /* Lone surrogates. */
  std::u16string lone = u"[S]\r\nK=5";
  lone += (char16_t)0xD800;
  std::u16string trailing = u"[S]\r\nK=";
  trailing += (char16_t)0xDC00;
  trailing += u"5\r\n";
  cases.push_back({"utf16le", utf16(lone, false, true), plain});
  cases.push_back({"utf16le", utf16(trailing, false, true), plain});
  for (const std::u16string &text : texts) {
    cases.push_back({"utf16le", utf16(text, false, true), plain});
    cases.push_back({"utf16be", utf16(text, true, true), plain});
  }
  cases.push_back(
      {"utf16le-nobom", utf16(u"[S]\r\nK=5\r\n", false, false), plain});
  cases.push_back(
      {"utf16le-odd", utf16(u"[S]\r\nK=5\r\n", false, true) + "7", plain});
  cases.push_back(
      {"utf16le-odd", utf16(u"[S]\r\nK=5", false, true) + "7", plain});
  cases.push_back(
      {"utf16be-odd", utf16(u"[S]\r\nK=56", true, true) + "\x00", plain});
  cases.push_back(
      {"utf16be-odd", utf16(u"[S]\r\nK=5", true, true) + "7", plain});
  cases.push_back(
      {"utf16le-odd", utf16(u"[S]\r\nK=5", false, true) + "\xff", plain});
  cases.push_back({"bom-only", "\xff\xfe", plain});
  cases.push_back({"bom-only", "\xfe\xff", plain});
  cases.push_back({"bom-only", "\xef\xbb\xbf", plain});
  cases.push_back({"bom-short", "\xff", plain});
  /* UTF-8 with a mark: blanks that only Unicode has, and broken bytes. */
  const char *const utf8[] = {
      "[S]\nK=\xe3\x80\x80"
      "5\n",
      "[S]\nK=\xc2\xa0"
      "5\n",
      "[S]\nK=\xef\xbc\x95\n",
      "[S]\nK=\xc2\x85"
      "5\n",
      "[S]\nK=\xff"
      "5\n",
      "[S]\nK=5\xe3\x80\x80\n",
      "[S]\nK=\xe3\x80"
      "5\n",
      "[S]\xe2\x80\xa8K=5\n",
      "\xe3\x80\x80[S]\nK=5\n",
      "[S]\nK=\xed\xa0\x80"
      "5\n",
      "[S]\nK=\xf0\x9f\x98\x80"
      "5\n",
      "[S]\nK=5\xc0\x80\n",
  };
  for (const char *text : utf8) {
    cases.push_back({"utf8bom", std::string("\xef\xbb\xbf") + text, plain});
    cases.push_back({"ansi-high", text, plain});
  }
}

/* Files built at random from pieces the reader treats specially. */
void addRandomCases(std::vector<ProfileCase> &cases) {
  static const char *const PIECES[] = {
      "[S]",  "[T]",        "[s]", "[ S ]", "[S",  "S]",  "]",       "[",
      "K",    "k",          "J",   " ",     "\t",  "=",   "5",       "-",
      "+",    "0x",         "1F",  "\"",    "'",   ";",   "\r",      "\n",
      "\r\n", "\n",         "\n",  "\r\n",  "K=",  "K=7", "k = -3",  "\x1a",
      "\x0b", "9999999999", "0b1", "0o7",   "Key", "KK",  "[S]\nK=", "\n[S]\n"};
  const size_t pieceCount = sizeof PIECES / sizeof PIECES[0];
  uint32_t state = 0x2545F491u;
  auto next = [&state](uint32_t bound) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state % bound;
  };
  const std::vector<ProfileQuery> queries = {
      sk(), {"s", "k", -1}, {"T", "K", 77}, {"S", "J", 77}, {"S", "KK", 77}};
  for (int file = 0; file < 160; file++) {
    std::string text;
    uint32_t pieces = 2 + next(40);
    for (uint32_t i = 0; i < pieces; i++)
      text += PIECES[next(pieceCount)];
    cases.push_back({"random", text, queries});
  }
}

/* The example settings file that ships with the plug-in, with its
 * Japanese comments, read key by key. */
void addShippedSettings(std::vector<ProfileCase> &cases) {
  std::ifstream in(VOLUME_EXAMPLE_SETTINGS, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<ProfileQuery> queries = {
      {"Setting", "VolComponentType", 4}, {"Setting", "VolEndpoint", 1},
      {"Setting", "UnmuteOnChange", 0},   {"Setting", "Osd", 0},
      {"Command", "MuteOnOff", 0},        {"Command", "MicMute", 0},
      {"Command", "MicMuteOnOff", 0}};
  for (int k = 0; k < 10; k++) {
    queries.push_back({"Command", "UpDown" + std::to_string(k), -1});
    queries.push_back({"Command", "Set" + std::to_string(k), -1});
  }
  cases.push_back({"shipped", bytes, queries});
}

} // namespace

std::vector<ProfileCase> profileCases(void) {
  std::vector<ProfileCase> cases;
  addValueCases(cases);
  addLayoutCases(cases);
  addUnicodeCases(cases);
  addRandomCases(cases);
  /* Long lines and files: a key after a very long line, one at the end
   * of a very long line, and a file of many sections. */
  std::string longLine(10000, 'x');
  cases.push_back({"long", "[S]\n" + longLine + "\nK=5\n", {sk()}});
  cases.push_back({"long", "[S]\n" + longLine + "K=5\n", {sk()}});
  cases.push_back({"long",
                   "[S]\n" + std::string(1020, 'x') + "\nK=8\n" +
                       std::string(1023, 'y') + "[T]\nK=9\n",
                   {sk(), {"T", "K", 77}}});
  cases.push_back({"long", "[S]\nK" + std::string(2000, ' ') + "=5\n", {sk()}});
  cases.push_back({"long",
                   "[S]\n" + std::string(3000, 'L') + "=5\n",
                   {sk(), {"S", std::string(3000, 'L'), 77}}});
  cases.push_back({"long",
                   "[" + std::string(3000, 'N') + "]\nK=5\n",
                   {sk(), {std::string(3000, 'N'), "K", 77}}});
  std::string many;
  for (int i = 0; i < 2000; i++)
    many += "[S" + std::to_string(i) + "]\nK=" + std::to_string(i) + "\n";
  cases.push_back({"long",
                   many,
                   {{"S0", "K", 77},
                    {"S1999", "K", 77},
                    {"s1234", "k", 77},
                    {"S2000", "K", 77}}});
  addShippedSettings(cases);
  return cases;
}
