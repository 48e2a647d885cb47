/*
 * The on-screen display as the real DLL shows it with Osd=1: its window's
 * styles and place, the bar it paints, that one window serves every
 * command and hides by itself, and that nothing of it outlives Unload.
 * A stand-in window of the test's own holds the foreground. What Wine
 * cannot show (another DPI, Windows before 10 1607, the fonts made and
 * deleted) comes through the DLL's imports, pointed at the test's own.
 */
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/display_window.h"
#include "plugin_test.h"
#include "row_name.h"

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

/* A display thread left to end by itself may still have a hidden one. */
static HWND shownDisplayWindow(void) {
  for (HWND window = nullptr;
       (window = FindWindowExW(nullptr, window, DISPLAY_WINDOW_CLASS,
                               nullptr)) != nullptr;)
    if (IsWindowVisible(window))
      return window;
  return nullptr;
}

static bool displayShown(void) { return shownDisplayWindow() != nullptr; }

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
                         rowName<BarCase>);

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

/* Soon after another view the next waits for the screen, not for ever. */
TEST_F(DisplayWindowTest, AViewSoonAfterAnotherIsDrawnAndShownItsTime) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3025));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  Sleep(100);
  ASSERT_EQ(1, execute(3080));
  Sleep(STILL_SHOWN_MS);
  ASSERT_TRUE(displayShown());
  BarPixels bar = paintedBar(shownDisplayWindow());
  ASSERT_GT(bar.filled + bar.track, 100);
  EXPECT_NEAR((bar.filled + bar.track) * 0.8, bar.filled, 1.0);
}

/* Rows and columns where the text left ink (neither background nor bar). */
static RECT textInk(HWND window, int *width) {
  std::vector<COLORREF> pixels = windowPixels(window, width);
  RECT ink = {*width, 1 << 20, -1, -1};
  for (size_t i = 0; *width > 0 && i < pixels.size(); i++) {
    COLORREF pixel = pixels[i];
    if (pixel == RGB(0x20, 0x20, 0x20) || pixel == BAR_FILL ||
        pixel == BAR_TRACK)
      continue;
    int x = (int)(i % (size_t)*width), y = (int)(i / (size_t)*width);
    ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
               std::max<LONG>(ink.right, x), std::max<LONG>(ink.bottom, y)};
  }
  return ink;
}

TEST_F(DisplayWindowTest, TextIsTheCharacterHeightCentredInTheWidth) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  Sleep(100); /* the first paint follows the showing */
  int width = 0;
  RECT ink = textInk(shownDisplayWindow(), &width);
  ASSERT_GE(ink.right, ink.left);
  int32_t dpi = settingDpi();
  EXPECT_NEAR(18 * dpi / 96, ink.bottom - ink.top + 1, 2 * dpi / 96);
  EXPECT_LE(abs(ink.left - (width - 1 - ink.right)), 2);
}

/* Holds the display's thread as it takes the message that ends it, until
 * released: a thread that does not end within the unload's wait. */
static HANDLE releaseTheEnd;
static LRESULT CALLBACK holdTheEnd(int code, WPARAM removed, LPARAM lParam) {
  const MSG *message = (const MSG *)lParam;
  if (code == HC_ACTION && removed == PM_REMOVE &&
      message->message == WM_APP + 2)
    WaitForSingleObject(releaseTheEnd, 30000);
  return CallNextHookEx(nullptr, code, removed, lParam);
}

static bool replaceImport(HMODULE module, const char *dll, const char *name,
                          void *replacement);

/* The display's lock goes when no display thread is left. */
static volatile LONG locksDeleted;
static void WINAPI countLockDeleted(CRITICAL_SECTION *lock) {
  InterlockedIncrement(&locksDeleted);
  DeleteCriticalSection(lock);
}

/* Two display threads overlap: the one the unload gave up waiting for, and
 * the next display's; whichever ends last takes the class and the lock. */
TEST_F(DisplayWindowTest, ShownAgainAfterAnUnloadThatGaveUpWaiting) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_TRUE(replaceImport(plugin.module, "kernel32.dll",
                            "DeleteCriticalSection", (void *)countLockDeleted));
  locksDeleted = 0;
  ASSERT_EQ(1, execute(3050));
  ASSERT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  ASSERT_TRUE(waitUntilShown(false, HIDE_BOUND_MS));
  DWORD heldId = GetWindowThreadProcessId(displayWindow(), nullptr);
  HANDLE held = OpenThread(SYNCHRONIZE, FALSE, heldId);
  releaseTheEnd = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, holdTheEnd, nullptr, heldId);
  ASSERT_NE(nullptr, hook);
  DWORD unloadBegan = GetTickCount();
  unload(); /* the held thread keeps the library loaded, state and all */
  EXPECT_LT(GetTickCount() - unloadBegan, 15000u) << "gave up waiting";
  FreeLibrary(plugin.module);
  ASSERT_TRUE(loadPlugin(&plugin));
  ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
  started = true;
  ASSERT_EQ(1, execute(3025));
  EXPECT_TRUE(waitUntilShown(true, APPEAR_BOUND_MS));
  SetEvent(releaseTheEnd);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held, HIDE_BOUND_MS));
  UnhookWindowsHookEx(hook);
  CloseHandle(held);
  CloseHandle(releaseTheEnd);
  /* The old thread's late end left the new display its class and font. */
  ASSERT_EQ(1, execute(3075));
  Sleep(100);
  ASSERT_TRUE(displayShown());
  BarPixels bar = paintedBar(shownDisplayWindow());
  EXPECT_NEAR((bar.filled + bar.track) * 0.75, bar.filled, 1.0);
  unload();
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  EXPECT_FALSE(
      GetClassInfoExW(plugin.module, DISPLAY_WINDOW_CLASS, &windowClass));
  EXPECT_EQ(1, locksDeleted);
}

/* ---- Through the DLL's imports --------------------------------------- */

/* Points the module's import of dll!name at replacement. */
static bool replaceImport(HMODULE module, const char *dll, const char *name,
                          void *replacement) {
  BYTE *base = (BYTE *)module;
  const IMAGE_NT_HEADERS *headers =
      (const IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
  DWORD imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT]
          .VirtualAddress;
  for (auto *table = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports);
       table->Name != 0; table++) {
    if (lstrcmpiA((const char *)(base + table->Name), dll) != 0)
      continue;
    auto *names = (IMAGE_THUNK_DATA *)(base + table->OriginalFirstThunk);
    auto *slots = (IMAGE_THUNK_DATA *)(base + table->FirstThunk);
    for (; names->u1.AddressOfData != 0; names++, slots++) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
          strcmp(
              (const char *)((IMAGE_IMPORT_BY_NAME *)(base +
                                                      names->u1.AddressOfData))
                  ->Name,
              name) != 0)
        continue;
      DWORD protection;
      VirtualProtect(slots, sizeof *slots, PAGE_READWRITE, &protection);
      slots->u1.Function = (ULONG_PTR)replacement;
      VirtualProtect(slots, sizeof *slots, protection, &protection);
      return true;
    }
  }
  return false;
}

/* The DPI functions the DLL finds when it looks them up, and the fonts it
 * makes and deletes. */
struct DpiSeam {
  bool windowDpiKnown;         /* GetDpiForWindow exists */
  UINT unplacedDpi, placedDpi; /* the window's, before and once it has a size */
  volatile UINT effectiveDpi;  /* GetDpiForMonitor's MDT_EFFECTIVE_DPI */
  UINT rawDpi;                 /* and its MDT_RAW_DPI */
  volatile LONG monitorAsked, fontsMade, fontsDeleted;
};
static DpiSeam seam;

static UINT WINAPI seamDpiForWindow(HWND window) {
  RECT place;
  GetWindowRect(window, &place);
  return place.right > place.left ? seam.placedDpi : seam.unplacedDpi;
}

static HRESULT WINAPI seamDpiForMonitor(HMONITOR, int kind, UINT *x, UINT *y) {
  InterlockedIncrement(&seam.monitorAsked);
  *x = *y = kind == 0 ? seam.effectiveDpi : seam.rawDpi;
  return S_OK;
}

static FARPROC WINAPI seamGetProcAddress(HMODULE module, LPCSTR name) {
  bool named = (ULONG_PTR)name > 0xFFFF;
  if (named && strcmp(name, "GetDpiForWindow") == 0)
    return seam.windowDpiKnown ? (FARPROC)(void *)seamDpiForWindow : nullptr;
  if (named && strcmp(name, "GetDpiForMonitor") == 0)
    return (FARPROC)(void *)seamDpiForMonitor;
  return GetProcAddress(module, name);
}

static HFONT WINAPI seamCreateFontIndirectW(const LOGFONTW *font) {
  InterlockedIncrement(&seam.fontsMade);
  return CreateFontIndirectW(font);
}

static BOOL WINAPI seamDeleteObject(HGDIOBJ object) {
  if (GetObjectType(object) == OBJ_FONT)
    InterlockedIncrement(&seam.fontsDeleted);
  return DeleteObject(object);
}

class DisplaySeamTest : public DisplayWindowTest {
protected:
  void startThrough(const DpiSeam &given) {
    seam = given;
    ASSERT_NO_FATAL_FAILURE(presetSpeakers(30000, 0));
    ASSERT_NO_FATAL_FAILURE(loadWithSettings(OSD_SETTINGS));
    ASSERT_TRUE(replaceImport(plugin.module, "kernel32.dll", "GetProcAddress",
                              (void *)seamGetProcAddress));
    ASSERT_TRUE(replaceImport(plugin.module, "gdi32.dll", "CreateFontIndirectW",
                              (void *)seamCreateFontIndirectW));
    ASSERT_TRUE(replaceImport(plugin.module, "gdi32.dll", "DeleteObject",
                              (void *)seamDeleteObject));
    ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
    started = true;
  }

  /* Shows Set(50) and waits for the window to take the DPI's width. */
  bool shownAt(UINT dpi) {
    if (execute(3050) != 1)
      return false;
    RECT place = {};
    for (DWORD start = GetTickCount(); GetTickCount() - start < APPEAR_BOUND_MS;
         Sleep(10)) {
      GetWindowRect(displayWindow(), &place);
      if (place.right - place.left == MulDiv(240, (int)dpi, 96))
        return IsWindowVisible(displayWindow()) != FALSE;
    }
    return false;
  }
};

struct DpiCase {
  const char *name;
  DpiSeam seam;
  UINT shownDpi;
  bool monitorAsked;
};

class DisplayDpiTest : public DisplaySeamTest,
                       public ::testing::WithParamInterface<DpiCase> {};

TEST_P(DisplayDpiTest, SizedForTheDpiWindowsGives) {
  ASSERT_NO_FATAL_FAILURE(startThrough(GetParam().seam));
  EXPECT_TRUE(shownAt(GetParam().shownDpi));
  RECT place;
  GetWindowRect(displayWindow(), &place);
  EXPECT_EQ(MulDiv(60, (int)GetParam().shownDpi, 96), place.bottom - place.top);
  EXPECT_EQ(GetParam().monitorAsked, seam.monitorAsked > 0);
}

/* Windows 10 1607 on: the window tells the DPI of the monitor it sits on,
 * which may change as it is put in place; GetDpiForMonitor is not meant
 * for a per-monitor aware thread. Before: the monitor's effective DPI. */
static const DpiCase DPI_CASES[] = {
    {"WindowOnItsMonitor", {true, 96, 144, 192, 120, 0, 0, 0}, 144, false},
    {"MonitorBefore1607", {false, 0, 0, 192, 144, 0, 0, 0}, 192, true}};

INSTANTIATE_TEST_SUITE_P(Dpi, DisplayDpiTest, ::testing::ValuesIn(DPI_CASES),
                         rowName<DpiCase>);

TEST_F(DisplaySeamTest, OneFontLivesAsTheDpiChangesAndNoneAfterUnload) {
  ASSERT_NO_FATAL_FAILURE(startThrough({false, 0, 0, 96, 96, 0, 0, 0}));
  for (UINT dpi : {96, 144, 120, 96, 144}) {
    seam.effectiveDpi = dpi;
    ASSERT_TRUE(shownAt(dpi)) << dpi;
  }
  EXPECT_EQ(1, seam.fontsMade - seam.fontsDeleted);
  unload();
  EXPECT_EQ(seam.fontsMade, seam.fontsDeleted);
}
