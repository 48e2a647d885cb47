/*
 * `plughost check` over real settings files read by the sim's profile
 * reader: for each file, the problems it lists, one line each, and the
 * exit status. A row may check the file against the command families
 * without the rows that offer a command for a text alone, as a family of
 * texts with only number slots would have it.
 */
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plughost/check.h"
#include "plughost_support.h"
#include "unit_support.h"

struct CheckCase {
  const char *name;
  std::string bytes;    /* the settings file */
  std::string problems; /* the lines of problems printed, in order */
  int textAloneOffersNothing;
};

static void PrintTo(const CheckCase &row, std::ostream *out) {
  *out << row.name;
}

/* UTF-16 of ASCII text, after its byte-order mark. */
static std::string utf16(const std::string &ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii)
    bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return bytes;
}

/* The example settings file as the release zip carries it: code page 932,
 * CRLF. */
static std::string shippedSettings(void) {
  std::string text = cp932(readFile(VOLUME_EXAMPLE_SETTINGS)), crlf;
  for (char c : text)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

static const std::string SPEAKERS_932 =
    "\x83\x58\x83\x73\x81\x5B\x83\x4A\x81\x5B";
static const std::string A62(62, 'A');

static std::vector<CheckCase> checkCases(void) {
  return {
      {"ShippedFile", shippedSettings(), "", 0},
      {"EveryKindValidInAnyCase",
       "[setting]\r\nVOLENDPOINT=1\r\nVolComponentType=12\r\nosd=0\r\n"
       "; Step0=5 is a comment\r\n[Command]\r\nupdown0=5\r\nSet0=0\r\n"
       "Set9=100\r\nMicMute=1\r\nMicMuteOnOff=0\r\nOutput0=\r\nOutput3=" +
           SPEAKERS_932 + "\r\nOutputSet3=50\r\nOutputMute3=1\r\nInput3=" +
           std::string(63, 'C') + "\r\n",
       "", 0},
      {"TextAloneOffersItsSwitch", "[Command]\nOutput3=HDMI\n", "", 0},
      {"UnknownKeyNearest", "[Command]\nStep0=5\nSET=50\n",
       "line 2: Step0=5: no such key (Set0?)\n"
       "line 3: SET=50: no such key (Set0?)\n",
       0},
      {"UnknownKeyOfAnotherSection", "[Command]\nVolEndpont=1\nFrobnicate=1\n",
       "line 2: VolEndpont=1: no such key (VolEndpoint of [Setting]?)\n"
       "line 3: Frobnicate=1: no such key\n",
       0},
      {"NumberOutOfRange",
       "[Command]\nSet0=150\nUpDown1=-1\nAppSet2=100\nSet1=\"101\"\n",
       "line 2: Set0=150: out of range: a number slot takes 0 to 100\n"
       "line 3: UpDown1=-1: out of range: a number slot takes 0 to 100\n"
       "line 5: Set1=\"101\": out of range: a number slot takes 0 to 100\n",
       0},
      {"NotANumber",
       "[Setting]\nVolComponentType=abc\n[Command]\nSet3= ; spare\n"
       "UpDown0=1.5\n",
       "line 2: VolComponentType=abc: not a number: read as 0\n"
       "line 4: Set3= ; spare: not a number: read as 0\n",
       0},
      {"SwitchNotOne",
       "[Setting]\nVolEndpoint=yes\nOsd=2\nUnmuteOnChange=0\n"
       "[Command]\nMicMute=2\nNextOutput=01\nOutput1=X\nOutputMute1=2\n",
       "line 2: VolEndpoint=yes: not a number: off, only 1 turns it on\n"
       "line 3: Osd=2: off: only 1 turns it on\n"
       "line 6: MicMute=2: off: only 1 turns it on\n"
       "line 9: OutputMute1=2: off: only 1 turns it on\n",
       0},
      {"TextCutNotInsideACharacter",
       "[Command]\nOutput0=" + std::string(64, 'B') + "\nInput1=" + A62 +
           "\x83\x41\n",
       "line 2: Output0=" + std::string(64, 'B') + ": cut to 63 bytes: \"" +
           std::string(63, 'B') + "\"\nline 3: Input1=" + A62 +
           "\xE3\x82\xA2: cut to 62 bytes: \"" + A62 + "\"\n",
       0},
      {"NumberSlotWithoutText",
       "[Command]\nOutputUpDown4=5\nOutputMute5=1\nOutputMute6=0\n"
       "InputSet2=50\nInput2=\n",
       "line 2: OutputUpDown4=5: offers nothing: Output4 holds no text\n"
       "line 3: OutputMute5=1: offers nothing: Output5 holds no text\n"
       "line 5: InputSet2=50: offers nothing: Input2 holds no text\n",
       0},
      {"TextSlotWithoutNumberSlot",
       "[Command]\nOutput3=HDMI\nInput2=Mic\nInputSet2=50\nDevice0=Headset\n"
       "Output4=USB\nOutputSet4=150\n",
       "line 2: Output3=HDMI: offers nothing without OutputUpDown3, "
       "OutputSet3 or OutputMute3\n"
       "line 5: Device0=Headset: offers nothing without a number slot\n"
       "line 6: Output4=USB: offers nothing without OutputUpDown4, "
       "OutputSet4 or OutputMute4\n"
       "line 7: OutputSet4=150: out of range: a number slot takes 0 to 100\n",
       1},
      {"KeyTwice", "[Command]\nSet0=50\nset0=150\nMicMute\nMicMute=1\n",
       "line 3: set0=150: never read: line 2 sets it first\n"
       "line 4: MicMute: no \"=\": no value\n"
       "line 5: MicMute=1: never read: line 4 sets it first\n",
       0},
      {"SectionTwice",
       "[Command]\nSet0=50\n[Setting]\nOsd=1\n[command]\nSet1=150\n",
       "line 5: [command]: the section again: never read, only its first one "
       "(line 1)\n",
       0},
      {"UnknownSection",
       "[Settings]\nOsd=7\n[Foo]\nX=1\n[]\nSet0=150\n[Command]\nSet0=50\n",
       "line 1: [Settings]: no such section ([Setting]?): its keys are never "
       "read\n"
       "line 3: [Foo]: no such section: its keys are never read\n"
       "line 5: []: no such section: its keys are never read\n",
       0},
      {"BeforeAnySection", "Osd=1\n[Setting]\nOsd=1\n",
       "line 1: Osd=1: before any section: never read\n", 0},
      {"WrongSection", "[Setting]\nSet0=50\n[Command]\nOsd=1\n",
       "line 2: Set0=50: not read in this section: it belongs in [Command]\n"
       "line 4: Osd=1: not read in this section: it belongs in [Setting]\n",
       0},
      {"LinesAsTheReaderSplitsThem",
       "  [ Command ] the commands\r\rSet0 = 150 "
       "\x1a\r\n[Setting\r\nSet1=150\n",
       "line 3: Set0 = 150: out of range: a number slot takes 0 to 100\n"
       "line 4: [Setting: no \"=\": not a key\n"
       "line 5: Set1=150: out of range: a number slot takes 0 to 100\n",
       0},
      {"Utf8Mark", "\xEF\xBB\xBF[Command]\nSet0=50\n",
       "file: UTF-8 with a byte-order mark, not the ANSI code page: Windows "
       "reads the mark as text of the first line and every text as ANSI; "
       "save the file as ANSI\n",
       0},
      {"Utf8WithoutMark",
       "; \xE9\x9F\xB3\xE9\x87\x8F\n[Command]\nOutput0=\xE3\x82\xB9\xE3\x83\x94"
       "\xE3\x83\xBC\xE3\x82\xAB\xE3\x83\xBC\n",
       "file: UTF-8 (line 1), not the ANSI code page: Windows reads its texts "
       "as ANSI, and a name beyond ASCII matches no device; save the file as "
       "ANSI\n",
       0},
      {"OverlongFormIsNoUtf8", "[Command]\nOutput0=\xC0\xAF\n", "", 0},
      {"Utf16LittleEndian", utf16("[Command]\r\nSet0=150\r\n", false),
       "file: UTF-16 (little-endian), not the ANSI code page; save the file as "
       "ANSI\n"
       "line 2: Set0=150: out of range: a number slot takes 0 to 100\n",
       0},
      {"Utf16BigEndian", utf16("[Command]\r\nStep0=5\r\n", true),
       "file: UTF-16 (big-endian), not the ANSI code page; save the file as "
       "ANSI\n"
       "line 2: Step0=5: no such key (Set0?)\n",
       0},
  };
}

/* The command families without those that offer a text's command alone. */
static std::vector<CommandFamily> familiesWithoutTextAlone(void) {
  std::vector<CommandFamily> rows;
  for (const CommandFamily &row : COMMAND_FAMILIES)
    if (row.keyKind != KEY_TEXT_SLOTS)
      rows.push_back(row);
  return rows;
}

/* The lines that name a problem: those of a line or of the file. */
static std::string problemLines(const std::string &output) {
  std::string lines;
  for (size_t at = 0; at < output.size();) {
    size_t end = output.find('\n', at);
    std::string line = output.substr(at, end - at + 1);
    if (line.rfind("line ", 0) == 0 || line.rfind("file: ", 0) == 0)
      lines += line;
    at = end == std::string::npos ? output.size() : end + 1;
  }
  return lines;
}

static size_t countLines(const std::string &text) {
  return (size_t)std::count(text.begin(), text.end(), '\n');
}

class PlughostCheckTest : public PluginTest,
                          public ::testing::WithParamInterface<CheckCase> {};

TEST_P(PlughostCheckTest, ListsEachLineThatOffersNothing) {
  const CheckCase &row = GetParam();
  writeSettings(row.bytes);
  std::vector<CommandFamily> reduced = familiesWithoutTextAlone();
  FamilyTable families = row.textAloneOffersNothing
                             ? FamilyTable{reduced.data(), reduced.size()}
                             : PLUGIN_FAMILIES;
  std::string path = folder + "/volume.ini";
  int status = 0;
  std::string output = captured([&](FILE *out) {
    status = checkSettingsFile(out, path.c_str(), families);
  });
  EXPECT_EQ(row.problems, problemLines(output)) << output;
  size_t problems = countLines(row.problems);
  std::string summary =
      problems == 0
          ? "no problem found\n"
          : std::to_string(problems) +
                (problems == 1 ? " problem found\n" : " problems found\n");
  EXPECT_EQ(summary, output.substr(output.size() - summary.size())) << output;
  EXPECT_EQ(problems == 0 ? EXIT_DONE : EXIT_FAILED, status);
}

INSTANTIATE_TEST_SUITE_P(Files, PlughostCheckTest,
                         ::testing::ValuesIn(checkCases()), rowName<CheckCase>);

/* Without a file every setting is its default: there is nothing to check,
 * and the check says why. */
TEST_F(PluginTest, PlughostCheckWithoutAFile) {
  std::string path = folder + "/volume.ini";
  int status = 0;
  std::string output = captured([&](FILE *out) {
    status = checkSettingsFile(out, path.c_str(), PLUGIN_FAMILIES);
  });
  EXPECT_EQ("settings file  " + path +
                ": cannot be read (No such file or directory): every setting "
                "is its default\n",
            output);
  EXPECT_EQ(EXIT_FAILED, status);
}
