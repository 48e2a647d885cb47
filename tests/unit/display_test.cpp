/*
 * The on-screen display: its layout at several DPIs and places, its text
 * for every kind of command, and when the plug-in shows it.
 */
#include <string>

#include "display/display.h"
#include "focused_app/focused_process.h"
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

std::u16string textOf(const uint16_t *units) {
  std::u16string text;
  for (uint32_t i = 0; units[i] != 0; i++)
    text += (char16_t)units[i];
  return text;
}

DisplayView viewOf(DisplaySubject subject, uint32_t showsLevel,
                   uint32_t percent, uint32_t muted, const char *name) {
  DisplayView view = {subject, showsLevel, percent, muted, {0}};
  for (uint32_t i = 0; name[i] != '\0'; i++)
    view.name[i] = (uint8_t)name[i];
  return view;
}

/* A named device's view, its name in UTF-16. */
DisplayView namedView(uint32_t showsLevel, uint32_t percent, uint32_t muted,
                      const char16_t *name) {
  DisplayView view = {DISPLAY_NAMED_DEVICE, showsLevel, percent, muted, {0}};
  for (uint32_t i = 0; name[i] != 0; i++)
    view.name[i] = (uint16_t)name[i];
  return view;
}

const char16_t REALTEK[] = u"スピーカー (Realtek High Definition Audio)";
const char16_t EMOJI[] = u"ab😀😀😀😀😀😀😀😀😀😀";

struct LayoutRow {
  const char *name;
  DisplayMonitor monitor;
  uint32_t showsLevel, percent;
  PixelRect window, barFill;
  int32_t trackRight, fontHeight;
};

/* Sizes at 96 DPI: 240 wide, 12 of padding, a 24-pixel line, a bar 6 high
 * 6 under it, 48 above the work area's bottom; 1.5 and 2 times that. */
const LayoutRow LAYOUT_ROWS[] = {
    {"Level96",
     {{0, 0, 1920, 1040}, 96},
     1,
     50,
     {840, 932, 1080, 992},
     {12, 42, 120, 48},
     228,
     18},
    {"Empty96",
     {{0, 0, 1920, 1040}, 96},
     1,
     0,
     {840, 932, 1080, 992},
     {12, 42, 12, 48},
     228,
     18},
    {"Third96",
     {{0, 0, 1920, 1040}, 96},
     1,
     33,
     {840, 932, 1080, 992},
     {12, 42, 83, 48},
     228,
     18},
    {"BeyondFull96",
     {{0, 0, 1920, 1040}, 96},
     1,
     250,
     {840, 932, 1080, 992},
     {12, 42, 228, 48},
     228,
     18},
    {"MuteHasNoBar96",
     {{0, 0, 1920, 1040}, 96},
     0,
     70,
     {840, 944, 1080, 992},
     {0, 0, 0, 0},
     0,
     18},
    {"NoDpiIs96",
     {{0, 0, 1920, 1040}, 0},
     1,
     100,
     {840, 932, 1080, 992},
     {12, 42, 228, 48},
     228,
     18},
    {"SecondMonitor144",
     {{1920, 0, 3840, 1080}, 144},
     1,
     55,
     {2700, 918, 3060, 1008},
     {18, 63, 196, 72},
     342,
     27},
    {"Mute144",
     {{0, 0, 2560, 1400}, 144},
     0,
     0,
     {1100, 1256, 1460, 1328},
     {0, 0, 0, 0},
     0,
     27},
    {"Full192",
     {{0, 0, 3840, 2100}, 192},
     1,
     100,
     {1680, 1884, 2160, 2004},
     {24, 84, 456, 96},
     456,
     36},
    {"LeftAndAbove192",
     {{-2560, -400, 0, 1000}, 192},
     1,
     1,
     {-1520, 784, -1040, 904},
     {24, 84, 28, 96},
     456,
     36},
    {"WorkAreaTooSmall96",
     {{10, 20, 200, 90}, 96},
     1,
     50,
     {10, 20, 250, 80},
     {12, 42, 120, 48},
     228,
     18},
};

class Layout : public testing::TestWithParam<LayoutRow> {};

void expectRect(const PixelRect &got, const PixelRect &want) {
  EXPECT_EQ(got.left, want.left);
  EXPECT_EQ(got.top, want.top);
  EXPECT_EQ(got.right, want.right);
  EXPECT_EQ(got.bottom, want.bottom);
}

TEST_P(Layout, PlacesAndScales) {
  const LayoutRow &row = GetParam();
  DisplayView view =
      viewOf(DISPLAY_PLAYBACK, row.showsLevel, row.percent, 0, "");
  DisplayFrame frame;
  layoutDisplay(&view, &row.monitor, &frame);
  expectRect(frame.window, row.window);
  expectRect(frame.barFill, row.barFill);
  EXPECT_EQ(frame.barTrack.right, row.trackRight);
  EXPECT_EQ(frame.barTrack.left, frame.barFill.left);
  EXPECT_EQ(frame.fontHeight, row.fontHeight);
  EXPECT_EQ(frame.showMilliseconds, 1500u);
  /* The text's box lies inside the window, above any bar. */
  EXPECT_LE(frame.textBox.right, frame.window.right - frame.window.left);
  EXPECT_LE(frame.textBox.bottom, frame.barTrack.top > 0
                                      ? frame.barTrack.top
                                      : frame.window.bottom - frame.window.top);
}

INSTANTIATE_TEST_SUITE_P(Display, Layout, testing::ValuesIn(LAYOUT_ROWS),
                         rowName<LayoutRow>);

/* A device's or program's view is wider, for its long name, and centred
 * the same way. */
TEST(DeviceLayout, IsWiderForTheName) {
  const struct {
    DisplayMonitor monitor;
    PixelRect window;
  } rows[] = {{{{0, 0, 1920, 1040}, 96}, {780, 944, 1140, 992}},
              {{{0, 0, 2560, 1400}, 144}, {1010, 1256, 1550, 1328}}};
  for (DisplaySubject subject :
       {DISPLAY_OUTPUT_DEVICE, DISPLAY_INPUT_DEVICE, DISPLAY_HEADSET,
        DISPLAY_NAMED_DEVICE, DISPLAY_PROGRAM})
    for (const auto &row : rows) {
      DisplayView view = viewOf(subject, 0, 0, 0, "Headphones");
      DisplayFrame frame;
      layoutDisplay(&view, &row.monitor, &frame);
      expectRect(frame.window, row.window);
      EXPECT_EQ(frame.textBox.right,
                frame.window.right - frame.window.left - frame.textBox.left);
    }
}

/* A named device's level: the bar runs the wider view's width. */
TEST(DeviceLayout, ANamedDevicesBarIsAsWide) {
  DisplayView view = viewOf(DISPLAY_NAMED_DEVICE, 1, 50, 0, "Headphones");
  DisplayMonitor monitor = {{0, 0, 1920, 1040}, 96};
  DisplayFrame frame;
  layoutDisplay(&view, &monitor, &frame);
  expectRect(frame.window, {780, 932, 1140, 992});
  expectRect(frame.barTrack, {12, 42, 348, 48});
  EXPECT_EQ(frame.barFill.right, 180);
}

struct TextRow {
  const char *name;
  DisplayView view;
  std::u16string text;
};

const TextRow TEXT_ROWS[] = {
    {"Level", viewOf(DISPLAY_PLAYBACK, 1, 55, 0, ""), u"音量 55%"},
    {"Silent", viewOf(DISPLAY_PLAYBACK, 1, 0, 1, ""), u"音量 0%"},
    {"Full", viewOf(DISPLAY_PLAYBACK, 1, 100, 0, ""), u"音量 100%"},
    {"Muted", viewOf(DISPLAY_PLAYBACK, 0, 40, 1, ""), u"ミュート"},
    {"Unmuted", viewOf(DISPLAY_PLAYBACK, 0, 40, 0, ""), u"ミュート解除"},
    {"MicMuted", viewOf(DISPLAY_MICROPHONE, 0, 0, 1, ""), u"マイク ミュート"},
    {"MicUnmuted", viewOf(DISPLAY_MICROPHONE, 0, 0, 0, ""),
     u"マイク ミュート解除"},
    {"AppLevel", viewOf(DISPLAY_APPLICATION, 1, 30, 0, "player"),
     u"player 30%"},
    {"AppMuted", viewOf(DISPLAY_APPLICATION, 0, 0, 1, "player"),
     u"player ミュート"},
    {"AppWithoutName", viewOf(DISPLAY_APPLICATION, 1, 7, 0, ""), u"アプリ 7%"},
    {"ProgramLevel", viewOf(DISPLAY_PROGRAM, 1, 40, 0, "chat.exe|voice.exe"),
     u"chat.exe|voice.exe 40%"},
    {"ProgramMuted", viewOf(DISPLAY_PROGRAM, 0, 0, 1, "spotify"),
     u"spotify ミュート"},
    {"OutputDevice", viewOf(DISPLAY_OUTPUT_DEVICE, 0, 0, 0, "Headphones"),
     u"出力: Headphones"},
    {"InputDevice", viewOf(DISPLAY_INPUT_DEVICE, 0, 0, 0, "Mic"), u"入力: Mic"},
    {"Headset", viewOf(DISPLAY_HEADSET, 0, 0, 0, "Headset"),
     u"出力と入力: Headset"},
    {"MicLevel", viewOf(DISPLAY_MICROPHONE, 1, 70, 1, ""), u"マイク 70%"},
    {"NamedDeviceLevel", viewOf(DISPLAY_NAMED_DEVICE, 1, 40, 0, "Headphones"),
     u"Headphones 40%"},
    {"NamedDeviceMuted", viewOf(DISPLAY_NAMED_DEVICE, 0, 0, 1, "Headphones"),
     u"Headphones ミュート"},
    /* A long name is cut so that the figure or the state still shows in
     * the 36 columns the view holds (a full-width letter takes two). */
    {"LongNameBeforeALevel", namedView(1, 100, 0, REALTEK),
     u"スピーカー (Realtek High Defi… 100%"},
    {"LongNameBeforeAMute", namedView(0, 0, 1, REALTEK),
     u"スピーカー (Realtek High … ミュート"},
    {"ANameThatJustFitsWhole",
     namedView(1, 100, 0, u"スピーカー (Realtek High Defini"),
     u"スピーカー (Realtek High Defini 100%"},
    {"NoHalfAPairLeft", namedView(1, 100, 0, EMOJI), u"ab😀😀😀😀😀😀… 100%"},
};

class Text : public testing::TestWithParam<TextRow> {};

TEST_P(Text, SaysWhatChanged) {
  DisplayFrame frame;
  DisplayMonitor monitor = {{0, 0, 800, 600}, 96};
  layoutDisplay(&GetParam().view, &monitor, &frame);
  EXPECT_EQ(textOf(frame.text), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Display, Text, testing::ValuesIn(TEXT_ROWS),
                         rowName<TextRow>);

struct NameRow {
  const char *name;
  const char *imagePath; /* null: no window in the foreground */
  std::u16string shown;
};

const NameRow NAME_ROWS[] = {
    {"FileWithoutExtension", "C:\\Program Files\\Player\\player.exe",
     u"player"},
    {"DotsInFolders", "C:\\a.b\\c.d\\tool", u"tool"},
    {"OnlyAnExtension", "C:\\Apps\\.hidden", u".hidden"},
    {"CutToFit", "C:\\x\\abcdefghijklmnopqrstuvwxyzabcdefghijklmnopq.exe",
     u"abcdefghijklmnopqrstuvwxyzabcdefghijklm"},
    {"NoForegroundWindow", nullptr, u""},
};

class AppName : public testing::TestWithParam<NameRow> {};

TEST_P(AppName, IsTheExecutablesFileName) {
  simFocusReset();
  if (GetParam().imagePath) {
    simProcessAdd(100, GetParam().imagePath);
    simSetForegroundWindow(simAppWindowAdd(0, "AppWindow", 100));
  }
  uint16_t name[DISPLAY_NAME_SIZE];
  processName(focusedProcess(), name, DISPLAY_NAME_SIZE);
  EXPECT_EQ(textOf(name), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Display, AppName, testing::ValuesIn(NAME_ROWS),
                         rowName<NameRow>);

/* When the plug-in shows the display: only with Osd=1, only after a
 * command that took, and a display that fails leaves the result alone. */
struct ShowRow {
  const char *name;
  const char *settings;
  int32_t id;
  int failWrite, failDisplay;
  int32_t result;
  unsigned frames;
  std::u16string text;
};

const ShowRow SHOW_ROWS[] = {
    {"NoSetting", "", 3060, 0, 0, 1, 0, u""},
    {"SettingZero", "[Setting]\nOsd=0\n", 3060, 0, 0, 1, 0, u""},
    {"SettingTwo", "[Setting]\nOsd=2\n", 1060, 0, 0, 1, 0, u""},
    {"Set", "[Setting]\nOsd=1\n", 3060, 0, 0, 1, 1, u"音量 60%"},
    {"StepStopsAtFull", "[Setting]\nOsd=1\n", 1090, 0, 0, 1, 1, u"音量 100%"},
    {"Mute", "[Setting]\nOsd=1\n", 1, 0, 0, 1, 1, u"ミュート"},
    {"MuteOn", "[Setting]\nOsd=1\n", 2, 0, 0, 1, 1, u"ミュート"},
    {"MuteOff", "[Setting]\nOsd=1\n", 3, 0, 0, 1, 1, u"ミュート解除"},
    {"CommandFailed", "[Setting]\nOsd=1\n", 3060, 1, 0, 0, 0, u""},
    {"NoMonitor", "[Setting]\nOsd=1\n", 3060, 0, 1, 1, 0, u""},
    {"DisplayRefused", "[Setting]\nOsd=1\n", 3060, 0, 2, 1, 0, u""},
    {"Microphone", "[Setting]\nOsd=1\n", 12, 0, 0, 1, 1, u"マイク ミュート"},
    {"MicrophoneLevel", "[Setting]\nOsd=1\n", 10040, 0, 0, 1, 1, u"マイク 40%"},
    {"NamedDevice",
     "[Command]\nOutput3=speakers\nOutputUpDown3=7\n[Setting]\nOsd=1\n", 11003,
     0, 0, 1, 1, u"Simulated speakers 0 7%"},
};

class Show : public PluginTest, public testing::WithParamInterface<ShowRow> {};

TEST_P(Show, AfterACommandThatTook) {
  const ShowRow &row = GetParam();
  simDisplayReset();
  simEndpointReset();
  writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  setLevels(speakers(), {95 * 65535 / 100, 95 * 65535 / 100});
  if (row.failWrite)
    simMixerFail(SIM_MIXER_WRITE, SIM_MMSYSERR_ERROR);
  simDisplayFail(row.failDisplay);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  EXPECT_EQ(simDisplayFrames(), row.frames);
  if (row.frames) {
    EXPECT_EQ(textOf(simDisplayLastFrame()->text), row.text);
  }
  KSTEvent_Unload();
  EXPECT_EQ(simDisplayOpen(), 0);
}

INSTANTIATE_TEST_SUITE_P(Display, Show, testing::ValuesIn(SHOW_ROWS),
                         rowName<ShowRow>);

/* The display names the program whose sessions the command changed: the
 * foreground is looked at once, by the command, and not again for the
 * name, when another program may have come to the front. */
class DisplayTest : public PluginTest {};

TEST_F(DisplayTest, NamesTheApplicationTheCommandChanged) {
  simDisplayReset();
  simEndpointReset();
  simFocusReset();
  simProcessAdd(100, "C:\\Apps\\player.exe");
  simProcessAdd(200, "C:\\Apps\\editor.exe");
  simSetForegroundWindow(simAppWindowAdd(0, "Player", 100));
  simAppWindowAdd(0, "Editor", 200);
  simSessionAdd(0, 100);
  writeSettings("[Setting]\nOsd=1\n");
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  EXPECT_EQ(KSTEvent_Execute(6040, 0), 1);
  ASSERT_EQ(simDisplayFrames(), 1u);
  EXPECT_EQ(textOf(simDisplayLastFrame()->text), u"player 40%");
  EXPECT_EQ(simFocusCalls(SIM_FOCUS_FOREGROUND), 1u);
  KSTEvent_Unload();
}

} // namespace
