/*
 * The on-screen display as the real DLL shows it with Osd=1: its window's
 * styles and place, the bar it paints, that one window serves every
 * command and hides by itself, and that nothing of it outlives Unload.
 * A stand-in window of the test's own holds the foreground.
 */
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/display_window.h"
#include "plugin_test.h"

static const char OSD_SETTINGS[] = "[Setting]\r\nOsd=1\r\n";
static const DWORD APPEAR_BOUND_MS = 3000;
/* Shown for 1.5 s after the last command: not gone after 1 s, gone by 4. */
static const DWORD STILL_SHOWN_MS = 1000;
static const DWORD HIDE_BOUND_MS = 4000;
static const COLORREF BAR_FILL = RGB(0x3C, 0x9B, 0xE6);
static const COLORREF BAR_TRACK = RGB(0x50, 0x50, 0x50);

static HWND displayWindow(void) {
  return FindWindowW(DISPLAY_WINDOW_CLASS, nullptr);
}

static int displayWindowCount(void) {
  int count = 0;
  for (HWND window = nullptr;
       (window = FindWindowExW(nullptr, window, DISPLAY_WINDOW_CLASS,
                               nullptr)) != nullptr;)
    count++;
  return count;
}

static bool displayShown(void) {
  HWND window = displayWindow();
  return window && IsWindowVisible(window);
}

static bool waitUntilShown(bool shown, DWORD boundMs) {
  DWORD start = GetTickCount();
  while (displayShown() != shown) {
    if (GetTickCount() - start > boundMs)
      return false;
    Sleep(10);
  }
  return true;
}

/* The window's pixels as 0x00BBGGRR, row by row. */
static std::vector<COLORREF> windowPixels(HWND window, int *width) {
  RECT rect;
  GetClientRect(window, &rect);
  *width = rect.right;
  std::vector<COLORREF> pixels((size_t)(rect.right * rect.bottom));
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = rect.right;
  info.bmiHeader.biHeight = -rect.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void *bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap) {
    HGDIOBJ before = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, rect.right, rect.bottom, source, 0, 0, SRCCOPY);
    GdiFlush();
    for (size_t i = 0; i < pixels.size(); i++) {
      uint32_t rgb = ((const uint32_t *)bits)[i];
      pixels[i] = RGB(rgb >> 16, rgb >> 8, rgb);
    }
    SelectObject(memory, before);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(window, source);
  return pixels;
}

struct BarPixels {
  int filled, track; /* in the bar's busiest row */
};

static BarPixels paintedBar(HWND window) {
  int width = 0;
  std::vector<COLORREF> pixels = windowPixels(window, &width);
  BarPixels bar = {0, 0};
  for (size_t row = 0; width > 0 && row < pixels.size() / width; row++) {
    BarPixels here = {0, 0};
    for (int x = 0; x < width; x++) {
      COLORREF pixel = pixels[row * width + x];
      here.filled += pixel == BAR_FILL;
      here.track += pixel == BAR_TRACK;
    }
    if (here.filled + here.track > bar.filled + bar.track)
      bar = here;
  }
  return bar;
}

/* The highest GDI handle slot in use, roughly: Windows counts the
 * process's objects, Wine does not, so there a batch of new brushes, past
 * the free slots, shows how far the table reaches. */
static uint32_t gdiHighWater(void) {
  DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0)
    return counted;
  std::vector<HBRUSH> brushes(2000);
  uint32_t highest = 0;
  for (HBRUSH &brush : brushes) {
    brush = CreateSolidBrush(0);
    uint32_t slot = (uint32_t)((uintptr_t)brush & 0xFFFF);
    highest = slot > highest ? slot : highest;
  }
  for (HBRUSH brush : brushes)
    DeleteObject(brush);
  return highest;
}

class DisplayWindowTest : public PluginTest {
protected:
  void SetUp() override {
    /* Tried again as the stand-in taskbar is: a new desktop's first
     * window is sometimes refused under load. */
    for (int tries = 0; tries < 3 && !foreground; tries++) {
      if (tries > 0)
        Sleep(200);
      foreground = CreateWindowExA(
          0, "STATIC", "foreground", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
          320, 200, nullptr, nullptr, nullptr, nullptr);
    }
    ASSERT_NE(nullptr, foreground);
    SetForegroundWindow(foreground);
  }

  void TearDown() override {
    if (started)
      plugin.exports.unload();
    DestroyWindow(foreground);
    PluginTest::TearDown();
  }

  void start(void) {
    ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
    ASSERT_NO_FATAL_FAILURE(startWithSettings(OSD_SETTINGS));
    started = true;
  }

  void unload(void) {
    plugin.exports.unload();
    started = false;
  }

  HWND foreground = nullptr;
  bool started = false;
};

TEST_F(DisplayWindowTest, NeverActiveTransparentTopmostToolWindowAtTheBottom) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  HWND window = displayWindow();
  LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
  static const LONG_PTR STYLES[] = {WS_EX_NOACTIVATE, WS_EX_TRANSPARENT,
                                    WS_EX_TOPMOST, WS_EX_TOOLWINDOW,
                                    WS_EX_LAYERED};
  for (LONG_PTR style : STYLES)
    EXPECT_EQ(style, extended & style) << std::hex << style;
  EXPECT_EQ(WS_POPUP, GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(foreground, GetForegroundWindow());
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoW(
      MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY), &monitor));
  const RECT &work = monitor.rcWork;
  RECT place;
  GetWindowRect(window, &place);
  EXPECT_GE(place.left, work.left);
  EXPECT_LE(place.right, work.right);
  EXPECT_LE(place.bottom, work.bottom);
  EXPECT_GT(place.top, (work.top + work.bottom) / 2);
  EXPECT_LE(abs((place.left - work.left) - (work.right - place.right)), 1);
}

/* The screen's DPI as the user set it (96 unless set). */
static int32_t settingDpi(void) {
  DWORD dpi = 0, size = sizeof dpi;
  if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels",
                   RRF_RT_REG_DWORD, nullptr, &dpi, &size) != ERROR_SUCCESS)
    return 96;
  return (int32_t)dpi;
}

/* 240 by 60 pixels with a bar, 48 above the work area's bottom, at 96
 * DPI; scaled with it (run at 96 and, in a prefix of its own, at 144). */
TEST_F(DisplayWindowTest, SizedForTheMonitorsDpi) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  int32_t dpi = settingDpi();
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoW(
      MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY), &monitor));
  RECT place;
  GetWindowRect(displayWindow(), &place);
  EXPECT_EQ(240 * dpi / 96, place.right - place.left) << dpi << " DPI";
  EXPECT_EQ(60 * dpi / 96, place.bottom - place.top) << dpi << " DPI";
  EXPECT_EQ(48 * dpi / 96, monitor.rcWork.bottom - place.bottom);
}

TEST_F(DisplayWindowTest, OneWindowServesEveryCommandAndHidesAfterTheLast) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  HWND first = displayWindow();
  for (int32_t command : {1005, 2005, 1, 1, 3020})
    ASSERT_EQ(1, execute(command));
  DWORD last = GetTickCount();
  EXPECT_EQ(first, displayWindow());
  EXPECT_EQ(1, displayWindowCount());
  Sleep(STILL_SHOWN_MS);
  EXPECT_TRUE(IsWindowVisible(first));
  EXPECT_TRUE(waitUntilShown(false, HIDE_BOUND_MS));
  EXPECT_GE(GetTickCount() - last, STILL_SHOWN_MS);
  EXPECT_EQ(first, displayWindow());
}

struct BarCase {
  const char *name;
  int32_t command;
  int percent; /* -1: a mute state, no bar */
};

class DisplayBarTest : public DisplayWindowTest,
                       public ::testing::WithParamInterface<BarCase> {};

TEST_P(DisplayBarTest, FilledLengthFollowsTheLevel) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(GetParam().command));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  Sleep(100); /* the first paint follows the showing */
  BarPixels bar = paintedBar(displayWindow());
  if (GetParam().percent < 0) {
    EXPECT_EQ(0, bar.filled + bar.track);
    return;
  }
  int length = bar.filled + bar.track;
  ASSERT_GT(length, 100);
  EXPECT_NEAR(length * GetParam().percent / 100.0, bar.filled, 1.0);
}

static const BarCase BAR_CASES[] = {{"Empty", 3000, 0},
                                    {"Quarter", 3025, 25},
                                    {"MostOfIt", 3080, 80},
                                    {"Full", 3100, 100},
                                    {"MuteHasNoBar", 1, -1}};

INSTANTIATE_TEST_SUITE_P(Levels, DisplayBarTest, ::testing::ValuesIn(BAR_CASES),
                         [](const ::testing::TestParamInfo<BarCase> &info) {
                           return std::string(info.param.name);
                         });

TEST_F(DisplayWindowTest, GdiObjectsStaySteadyOverTenThousandCommands) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  uint32_t before = gdiHighWater();
  for (int i = 0; i < 10000; i++)
    ASSERT_EQ(1, execute(i % 2 ? 1001 : 2001));
  Sleep(200);
  EXPECT_LE(gdiHighWater(), before + 64);
  EXPECT_EQ(1, displayWindowCount());
}

TEST_F(DisplayWindowTest, NothingOfItOutlivesUnload) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  HWND window = displayWindow();
  HANDLE thread =
      OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(window, nullptr));
  ASSERT_NE(nullptr, thread);
  unload();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(0, displayWindowCount());
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  EXPECT_FALSE(
      GetClassInfoExW(plugin.module, DISPLAY_WINDOW_CLASS, &windowClass));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
  CloseHandle(thread);
  /* TearDown's FreeLibrary follows at once: it would crash a process
   * where any of the display still ran. */
}

/* A host that frees the library without unloading it: the display's
 * thread keeps the library loaded and goes on to hide its window. */
TEST_F(DisplayWindowTest, FreeLibraryWithoutUnloadLeavesTheThreadItsCode) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  HMODULE module = plugin.module;
  plugin.module = nullptr;
  FreeLibrary(module);
  EXPECT_EQ(module, GetModuleHandleA(plugin.dllPath.c_str()));
  EXPECT_TRUE(waitUntilShown(false, HIDE_BOUND_MS));
  /* Unloaded while a reference of the test's own keeps the code there:
   * then the library goes with that reference. */
  HMODULE kept = nullptr;
  ASSERT_TRUE(GetModuleHandleExA(0, plugin.dllPath.c_str(), &kept));
  unload();
  FreeLibrary(kept);
  EXPECT_EQ(nullptr, GetModuleHandleA(plugin.dllPath.c_str()));
}
