/*
 * The on-screen display's window on Windows (user32, gdi32; shcore where
 * present). It lives on a thread of its own, where the monitor is found
 * and the view laid out and drawn, so that the host's thread only copies
 * the view and posts a message: it never waits for the window.
 *
 * The window is a layered, topmost tool window that is never activated
 * and lets the mouse through, so it takes no focus, no keyboard and no
 * click, and stays out of the taskbar and Alt+Tab. Where Windows offers
 * per-monitor DPI (Windows 10 1607 and later) its thread is per-monitor
 * aware; the functions for that are looked up when needed, so that the
 * plug-in still loads on Windows XP.
 */
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/display_draw.h"
#include "platform/win32/display_window.h"

enum : UINT { SHOW_VIEW = WM_APP + 1, END_DISPLAY = WM_APP + 2 };
enum : UINT { DPI_CHANGED = 0x02E0 }; /* WM_DPICHANGED, Windows 8.1 */
enum { HIDE_TIMER = 1, FRAME_TIMER = 2 };
/* The least time between two drawings, about a screen refresh: views
 * that come faster wait, and the latest is drawn. */
static const DWORD FRAME_MILLISECONDS = 16;

static const wchar_t CLASS_NAME[] = DISPLAY_WINDOW_CLASS;
static const BYTE OPACITY = 235;
static const DWORD CLOSE_WAIT_MILLISECONDS = 5000;
enum { LOCK_NONE, LOCK_BEING_MADE, LOCK_READY };

struct DisplayState {
  volatile LONG lockState;
  CRITICAL_SECTION lock;
  /* Under the lock: */
  HANDLE thread;
  HDESK desktop;   /* the host thread's, where the window belongs */
  HWND window;     /* set by the thread once the window is made */
  int failed;      /* the thread could not make it */
  int ending;      /* closing: the thread ends once its window is made */
  int viewPending; /* a view waits for the window's thread */
  unsigned char view[DISPLAY_VIEW_LIMIT];
  DisplayLayout layout;
  /* The window's thread only: */
  unsigned char viewShown[DISPLAY_VIEW_LIMIT];
  DisplayFrame shown;
  int drawnBefore;
  DWORD drawnAt; /* GetTickCount */
  HFONT font;
  int32_t fontHeight;
  HMODULE shcore;
};

static DisplayState display;

/* Made on first use: the entry routine may do nothing of the kind. */
static void makeLock(void) {
  if (InterlockedCompareExchange(&display.lockState, LOCK_BEING_MADE,
                                 LOCK_NONE) == LOCK_NONE) {
    InitializeCriticalSection(&display.lock);
    InterlockedExchange(&display.lockState, LOCK_READY);
  }
  while (display.lockState != LOCK_READY)
    Sleep(0);
}

/* ---- DPI ---------------------------------------------------------------- */

typedef HANDLE(WINAPI *SetDpiContextFunction)(HANDLE);
typedef HRESULT(WINAPI *DpiForMonitorFunction)(HMONITOR, int, UINT *, UINT *);

/* DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 (Windows 10 1703) and the
 * first per-monitor context (1607). */
static const HANDLE PER_MONITOR_V2 = (HANDLE)(intptr_t)-4;
static const HANDLE PER_MONITOR = (HANDLE)(intptr_t)-3;
enum { EFFECTIVE_DPI = 0 }; /* MDT_EFFECTIVE_DPI */

/* Makes the calling thread per-monitor aware, where Windows can. */
static void enterPerMonitorDpi(void) {
  HMODULE user = GetModuleHandleA("user32.dll");
  SetDpiContextFunction set =
      user ? (SetDpiContextFunction)(void *)GetProcAddress(
                 user, "SetThreadDpiAwarenessContext")
           : nullptr;
  if (set && !set(PER_MONITOR_V2))
    set(PER_MONITOR);
}

/* shcore.dll (Windows 8.1) from the system folder only, loaded once by
 * the display's thread, which lets it go as it ends. */
static DpiForMonitorFunction dpiForMonitor(void) {
  if (!display.shcore) {
    wchar_t path[MAX_PATH + 16];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
      return nullptr;
    lstrcpyW(path + length, L"\\shcore.dll");
    display.shcore = LoadLibraryW(path);
  }
  return display.shcore ? (DpiForMonitorFunction)(void *)GetProcAddress(
                              display.shcore, "GetDpiForMonitor")
                        : nullptr;
}

static uint32_t monitorDpi(HMONITOR monitor) {
  DpiForMonitorFunction query = dpiForMonitor();
  UINT x = 0, y = 0;
  if (query && SUCCEEDED(query(monitor, EFFECTIVE_DPI, &x, &y)) && y != 0)
    return y;
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? (uint32_t)dpi : 96;
}

/* The foreground window's monitor (else the primary one), its work area
 * and DPI, as the display's thread sees them: per monitor, where Windows
 * lets that thread be per-monitor aware. 0 when there is no monitor. */
static int foregroundMonitor(DisplayMonitor *monitor) {
  HWND foreground = GetForegroundWindow();
  POINT origin = {0, 0};
  HMONITOR handle =
      foreground ? MonitorFromWindow(foreground, MONITOR_DEFAULTTOPRIMARY)
                 : MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  int found = handle && GetMonitorInfoW(handle, &info);
  if (found) {
    monitor->workArea = PixelRect{info.rcWork.left, info.rcWork.top,
                                  info.rcWork.right, info.rcWork.bottom};
    monitor->dpi = monitorDpi(handle);
  }
  return found;
}

/* ---- The window, on its thread ------------------------------------------ */

static void paintFrame(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc)
    return;
  const DisplayFrame &frame = display.shown;
  int width = frame.window.right - frame.window.left;
  int height = frame.window.bottom - frame.window.top;
  /* Drawn aside and copied in one piece: no flicker when it changes. */
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (bitmap) {
    HGDIOBJ before = SelectObject(memory, bitmap);
    drawDisplayFrame(memory, display.font, &frame);
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, before);
    DeleteObject(bitmap);
  } else {
    drawDisplayFrame(dc, display.font, &frame);
  }
  if (memory)
    DeleteDC(memory);
  EndPaint(window, &paint);
}

static void useFontHeight(int32_t height) {
  if (display.font && display.fontHeight == height)
    return;
  if (display.font)
    DeleteObject(display.font);
  display.font = createDisplayFont(height);
  display.fontHeight = height;
}

/* True when the last drawing is too recent: then the frame timer brings
 * the latest view a little later. */
static int waitForTheScreen(HWND window) {
  DWORD since = GetTickCount() - display.drawnAt;
  if (!display.drawnBefore || since >= FRAME_MILLISECONDS)
    return 0;
  SetTimer(window, FRAME_TIMER, FRAME_MILLISECONDS - since, nullptr);
  return 1;
}

/* Lays the latest view out for the foreground window's monitor; 0 when
 * there is no monitor. */
static int layOutLatestView(void) {
  EnterCriticalSection(&display.lock);
  CopyMemory(display.viewShown, display.view, sizeof display.view);
  DisplayLayout layout = display.layout;
  display.viewPending = 0;
  LeaveCriticalSection(&display.lock);
  DisplayMonitor monitor;
  if (!foregroundMonitor(&monitor))
    return 0;
  layout(display.viewShown, &monitor, &display.shown);
  return 1;
}

/* Shows the latest view where its frame says, and (re)starts the hide
 * timer. */
static void showLatestView(HWND window) {
  if (waitForTheScreen(window) || !layOutLatestView())
    return;
  display.drawnBefore = 1;
  display.drawnAt = GetTickCount();
  const DisplayFrame &frame = display.shown;
  useFontHeight(frame.fontHeight);
  SetWindowPos(window, HWND_TOPMOST, frame.window.left, frame.window.top,
               frame.window.right - frame.window.left,
               frame.window.bottom - frame.window.top,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  SetTimer(window, HIDE_TIMER, frame.showMilliseconds, nullptr);
}

static LRESULT CALLBACK displayProcedure(HWND window, UINT message,
                                         WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case SHOW_VIEW:
    showLatestView(window);
    return 0;
  case WM_TIMER:
    if (wParam != HIDE_TIMER && wParam != FRAME_TIMER)
      break;
    KillTimer(window, wParam);
    if (wParam == FRAME_TIMER)
      showLatestView(window);
    else
      ShowWindow(window, SW_HIDE);
    return 0;
  case WM_PAINT:
    paintFrame(window);
    return 0;
  case WM_ERASEBKGND:
    return 1; /* the paint covers every pixel */
  case WM_NCHITTEST:
    return HTTRANSPARENT;
  case WM_MOUSEACTIVATE:
    return MA_NOACTIVATE;
  case DPI_CHANGED:
    return 0; /* every frame comes sized for its monitor */
  case END_DISPLAY:
    DestroyWindow(window);
    return 0;
  case WM_DESTROY:
    KillTimer(window, HIDE_TIMER);
    KillTimer(window, FRAME_TIMER);
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

/* The library, counted once more: the display's thread holds it, so that
 * a host that frees the library without unloading it first does not pull
 * the code from under the thread. The thread lets go as it ends. */
static HMODULE holdThisModule(void) {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                     (LPCWSTR)(void *)&displayProcedure, &module);
  return module;
}

static HWND makeWindow(HMODULE module) {
  HWND window = CreateWindowExW(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW |
          WS_EX_NOACTIVATE,
      CLASS_NAME, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, nullptr);
  if (window)
    SetLayeredWindowAttributes(window, 0, OPACITY, LWA_ALPHA);
  return window;
}

/* Hands the window to the others, or says it failed; then shows what
 * waits, or ends at once if a close came first. */
static void publishWindow(HWND window) {
  EnterCriticalSection(&display.lock);
  display.window = window;
  display.failed = window == nullptr;
  int ending = display.ending;
  int pending = display.viewPending;
  LeaveCriticalSection(&display.lock);
  if (window && ending)
    DestroyWindow(window);
  else if (window && pending)
    PostMessageW(window, SHOW_VIEW, 0, 0);
}

static DWORD WINAPI displayThread(void *held) {
  HMODULE module = (HMODULE)held;
  /* A new thread starts on the process's first desktop, which need not
   * be the one the host's window is on. */
  SetThreadDesktop(display.desktop);
  enterPerMonitorDpi();
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = displayProcedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = CLASS_NAME;
  ATOM registered = RegisterClassExW(&windowClass);
  HWND window = registered ? makeWindow(module) : nullptr;
  publishWindow(window);
  MSG message;
  while (window && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (display.font)
    DeleteObject(display.font);
  display.font = nullptr;
  if (display.shcore)
    FreeLibrary(display.shcore);
  display.shcore = nullptr;
  if (registered)
    UnregisterClassW(CLASS_NAME, module);
  FreeLibraryAndExitThread(module, 0);
}

/* ---- The host's side ---------------------------------------------------- */

/* Under the lock. */
static int startThread(void) {
  if (display.thread)
    return !display.failed;
  display.ending = 0;
  display.failed = 0;
  display.window = nullptr;
  display.desktop = GetThreadDesktop(GetCurrentThreadId());
  HMODULE module = holdThisModule();
  if (!module)
    return 0;
  DWORD id;
  display.thread = CreateThread(nullptr, 0, displayThread, module, 0, &id);
  if (!display.thread)
    FreeLibrary(module);
  return display.thread != nullptr;
}

int platformShowDisplay(const void *view, uint32_t viewSize,
                        DisplayLayout layout) {
  if (viewSize > DISPLAY_VIEW_LIMIT)
    return 0;
  makeLock();
  EnterCriticalSection(&display.lock);
  int shown = startThread();
  if (shown) {
    CopyMemory(display.view, view, viewSize);
    display.layout = layout;
    /* One message stands for any number of views: the latest is shown. */
    if (display.window && !display.viewPending)
      shown = PostMessageW(display.window, SHOW_VIEW, 0, 0) != 0;
    display.viewPending = shown;
  }
  LeaveCriticalSection(&display.lock);
  return shown;
}

void platformCloseDisplay(void) {
  if (display.lockState != LOCK_READY)
    return;
  EnterCriticalSection(&display.lock);
  HANDLE thread = display.thread;
  HWND window = display.window;
  display.ending = 1;
  LeaveCriticalSection(&display.lock);
  if (thread) {
    if (window)
      PostMessageW(window, END_DISPLAY, 0, 0);
    DWORD waited = WaitForSingleObject(thread, CLOSE_WAIT_MILLISECONDS);
    CloseHandle(thread);
    /* A thread still running keeps the lock it may yet take. */
    if (waited != WAIT_OBJECT_0) {
      display.thread = nullptr;
      return;
    }
  }
  DeleteCriticalSection(&display.lock);
  ZeroMemory((void *)&display, sizeof display);
}
