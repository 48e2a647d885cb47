/*
 * `plughost lines` as it reads a device: which VolComponentType value
 * reaches each line, which line the setting selects, and how lines and
 * controls that fail are shown without ending the listing. Synthetic
 * device reports in, the printed listing out.
 */
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plughost/lines.h"
#include "plughost_support.h"

/* The way back from a line to its value reaches every value that selects
 * a line. */
TEST(PlughostLinesTest, SettingsMapToComponentTypesAsInThePlugin) {
  for (int32_t setting = 0; setting <= 19; setting++)
    EXPECT_EQ(setting,
              settingOfComponentType(componentTypeFromSetting(setting)));
  for (uint32_t unreachable : {9u, 0xFFFu, 0x100Bu, 0x2000u, 0xFFFFFFFFu})
    EXPECT_EQ(-1, settingOfComponentType(unreachable)) << unreachable;
}

static ControlReport readControl(uint32_t value, uint32_t maximum) {
  return {CONTROL_READ, 0, value, 0, maximum};
}
static ControlReport control(ControlState state, uint32_t error = 0) {
  return {state, error, 0, 0, 0};
}

static LineReport line(uint32_t destination, int32_t source, uint32_t type,
                       const char *name, int first = 1) {
  LineReport report = {};
  report.destination = destination;
  report.source = source;
  report.answered = 1;
  snprintf(report.name, sizeof report.name, "%s", name);
  report.componentType = type;
  report.channels = 2;
  report.firstOfItsType = first;
  report.volume = readControl(65535, 65535);
  report.mute = readControl(0, 1);
  return report;
}

static LineReport silentLine(uint32_t destination, uint32_t error) {
  LineReport report = {};
  report.destination = destination;
  report.source = LINE_IS_DESTINATION;
  report.error = error;
  return report;
}

struct ListingCase {
  const char *name;
  int32_t setting;
  std::vector<LineReport> lines;
  unsigned linesNotShown;
  const char *expected; /* between the column heads and the legend */
  int noSettingsFile;
};

static void PrintTo(const ListingCase &listing, std::ostream *out) {
  *out << listing.name;
}

static const char HEAD[] =
    "mixer device 0  Test mixer, 3 destinations\n"
    "settings        C:\\host\\volume.ini%s: VolComponentType=%d, %s\n\n"
    "value  line      type                           ch  volume    mute      "
    "name\n";
static const char LEGEND[] =
    "\n* the line the volume commands change now. (n): n selects an earlier "
    "line of\nthe same type instead. -: no value selects it. Mute always acts "
    "on the first\nspeakers line.\n";

static std::vector<LineReport> oneSpeakers(void) {
  return {line(0, LINE_IS_DESTINATION, 4, "Speakers")};
}

static LineReport withVolume(LineReport report, ControlReport volume) {
  report.volume = volume;
  return report;
}
static LineReport withMute(LineReport report, ControlReport mute) {
  report.mute = mute;
  return report;
}

static const ListingCase LISTING_CASES[] = {
    /* Only the line that a look-up by its type finds can be chosen, even
     * when another of that type is listed before it; types outside winmm's
     * table cannot be chosen at all. */
    {"OnlyTheLineFoundByItsTypeIsSelected",
     17,
     {line(0, LINE_IS_DESTINATION, 4, "Speakers"),
      line(0, 0, 0x1008, "Wave 2", 0),
      withVolume(line(0, 1, 0x1008, "Wave"), readControl(32768, 65535)),
      line(0, 2, 0x2000, "Odd")},
     0,
     "    4  dest 0    speakers (0x0004)               2  100%      off       "
     "Speakers\n"
     " (17)  src 0.0   wave-out source (0x1008)        2  100%      off       "
     "Wave 2\n"
     "*  17  src 0.1   wave-out source (0x1008)        2  50%       off       "
     "Wave\n"
     "    -  src 0.2   unknown (0x2000)                2  100%      off       "
     "Odd\n",
     0},
    /* A line that does not answer, and controls that fail, are said in
     * plain words; the lines after them are still listed. */
    {"FailuresDoNotStopTheListing",
     4,
     {withMute(withVolume(line(0, LINE_IS_DESTINATION, 4, "Speakers"),
                          control(CONTROL_FAILED, 1)),
               control(CONTROL_ABSENT)),
      silentLine(1, 1024),
      withMute(line(2, LINE_IS_DESTINATION, 5, "Phones"),
               control(CONTROL_FAILED, 77))},
     0,
     "*   4  dest 0    speakers (0x0004)               2  failed    none      "
     "Speakers\n"
     "    dest 0 volume: error 1, unspecified error (MMSYSERR_ERROR)\n"
     "    ?  dest 1    (no answer)\n"
     "    dest 1 does not answer: error 1024, no such line (MIXERR_INVALLINE)\n"
     "    5  dest 2    headphones (0x0005)             2  100%      failed    "
     "Phones\n"
     "    dest 2 mute: error 77, unknown error\n",
     0},
    /* Without the file the plug-in uses the speakers; the listing says
     * why. */
    {"NoSettingsFile", 4, oneSpeakers(), 0,
     "*   4  dest 0    speakers (0x0004)               2  100%      off       "
     "Speakers\n",
     1},
    {"SelectedTypeMissing", 12, oneSpeakers(), 0,
     "    4  dest 0    speakers (0x0004)               2  100%      off       "
     "Speakers\n\n"
     "VolComponentType=12 selects the first microphone (0x1003) line; mixer "
     "device 0 has none, so the volume commands fail.\n",
     0},
    {"SelectedLineWithoutVolume",
     5,
     {line(0, LINE_IS_DESTINATION, 4, "Speakers"),
      withVolume(line(1, LINE_IS_DESTINATION, 5, "Phones"),
                 control(CONTROL_ABSENT))},
     0,
     "    4  dest 0    speakers (0x0004)               2  100%      off       "
     "Speakers\n"
     "*   5  dest 1    headphones (0x0005)             2  none      off       "
     "Phones\n\n"
     "The selected line has no volume control, so the volume commands "
     "fail.\n",
     0},
    /* Out-of-range settings mean the speakers, as in the plug-in. A value
     * beyond the bounds has no percent; a read that fills nothing in has
     * no value. Lines beyond the listing's room are counted. */
    {"OddValues",
     -1,
     {withMute(withVolume(line(0, LINE_IS_DESTINATION, 4, "Speakers"),
                          readControl(70000, 65535)),
               control(CONTROL_NO_VALUE))},
     3,
     "*   4  dest 0    speakers (0x0004)               2  ? (70000)  no value  "
     "Speakers\n"
     "    ... and 3 more lines, not shown\n",
     0},
};

class PlughostListingTest : public ::testing::TestWithParam<ListingCase> {};

static std::string printed(const LinesListing &listing) {
  return captured([&](FILE *out) { printLinesListing(out, &listing); });
}

TEST_P(PlughostListingTest, Prints) {
  const ListingCase &listing = GetParam();
  LinesListing input = {};
  snprintf(input.deviceName, sizeof input.deviceName, "Test mixer");
  input.destinations = 3;
  input.settingsPath = "C:\\host\\volume.ini";
  input.settingsFileFound = !listing.noSettingsFile;
  input.componentTypeSetting = listing.setting;
  input.lines = listing.lines.data();
  input.lineCount = (unsigned)listing.lines.size();
  input.linesNotShown = listing.linesNotShown;
  uint32_t selectedType = componentTypeFromSetting(listing.setting);
  char head[512];
  char typeText[64];
  snprintf(typeText, sizeof typeText, "%s (0x%04X)",
           componentTypeName(selectedType), (unsigned)selectedType);
  snprintf(head, sizeof head, HEAD,
           listing.noSettingsFile ? " (no such file)" : "",
           (int)listing.setting, typeText);
  EXPECT_EQ(std::string(head) + listing.expected + LEGEND, printed(input));
}

INSTANTIATE_TEST_SUITE_P(Cases, PlughostListingTest,
                         ::testing::ValuesIn(LISTING_CASES),
                         [](const ::testing::TestParamInfo<ListingCase> &info) {
                           return std::string(info.param.name);
                         });

/* On a device with a line of every type a value selects, the listing marks
 * the line the plug-in chooses, for every value and for values outside. */
TEST(PlughostLinesTest, MarksTheLineThePluginChooses) {
  std::vector<LineReport> lines;
  for (uint32_t type : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
    lines.push_back(line(type, LINE_IS_DESTINATION, type, "Destination"));
  for (uint32_t type = 0x1000; type <= 0x100A; type++)
    lines.push_back(line(0, (int32_t)(type - 0x1000), type, "Source"));
  LinesListing input = {};
  input.settingsPath = "";
  input.lines = lines.data();
  input.lineCount = (unsigned)lines.size();
  for (int32_t setting = -2; setting <= 21; setting++) {
    input.componentTypeSetting = setting;
    std::string text = printed(input);
    size_t marked = text.find("\n*");
    ASSERT_NE(std::string::npos, marked) << "VolComponentType=" << setting;
    std::string row = text.substr(marked, text.find('\n', marked + 1) - marked);
    char type[16];
    snprintf(type, sizeof type, "(0x%04X)",
             (unsigned)componentTypeFromSetting(setting));
    EXPECT_NE(std::string::npos, row.find(type))
        << "VolComponentType=" << setting << ":" << row;
  }
}
