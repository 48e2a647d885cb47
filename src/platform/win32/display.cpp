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
 * aware and the window, once in place, tells the DPI of its monitor; the
 * functions for that are looked up when needed, so that the plug-in
 * still loads on Windows XP.
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

typedef UINT(WINAPI *DpiForWindowFunction)(HWND);

/* One display thread and what it owns. A close that waits in vain for
 * the thread leaves it to end by itself, with its session: a display
 * started later gets a session, a window and GDI objects of its own, so
 * that the late end of the old one takes nothing from it. */
struct DisplaySession {
  /* Under the lock: */
  HANDLE thread;
  HMODULE module;  /* this library, held by the thread */
  HDESK desktop;   /* the host thread's, where the window belongs */
  HWND window;     /* set by the thread once the window is made */
  int failed;      /* the thread could not make it */
  int ending;      /* closing: the thread ends once its window is made */
  int done;        /* the thread has let go of the session */
  int abandoned;   /* the close gave up waiting: the thread frees it */
  int viewPending; /* a view waits for the window's thread */
  unsigned char view[DISPLAY_VIEW_LIMIT];
  DisplayLayout layout;
  /* The window's thread only: */
  unsigned char viewShown[DISPLAY_VIEW_LIMIT];
  DisplayLayout layoutShown;
  DisplayFrame shown;
  int drawnBefore;
  DWORD drawnAt; /* GetTickCount */
  HFONT font;
  int32_t fontHeight;
  HMODULE shcore;
  DpiForWindowFunction dpiForWindow; /* null before Windows 10 1607 */
};

struct DisplayState {
  volatile LONG lockState;
  CRITICAL_SECTION lock;
  /* Under the lock: */
  DisplaySession *current; /* the one views go to */
  LONG sessions;           /* not yet freed, the current one or not */
  LONG classUsers;         /* threads that have the window class */
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

static FARPROC userFunction(const char *name) {
  HMODULE user = GetModuleHandleA("user32.dll");
  return user ? GetProcAddress(user, name) : nullptr;
}

/* Makes the calling thread per-monitor aware, where Windows can. */
static void enterPerMonitorDpi(void) {
  SetDpiContextFunction set = (SetDpiContextFunction)(void *)userFunction(
      "SetThreadDpiAwarenessContext");
  if (set && !set(PER_MONITOR_V2))
    set(PER_MONITOR);
}

/* shcore.dll (Windows 8.1) from the system folder only, loaded once by
 * the display's thread, which lets it go as it ends. */
static DpiForMonitorFunction dpiForMonitor(DisplaySession *session) {
  if (!session->shcore) {
    wchar_t path[MAX_PATH + 16];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
      return nullptr;
    lstrcpyW(path + length, L"\\shcore.dll");
    session->shcore = LoadLibraryW(path);
  }
  return session->shcore ? (DpiForMonitorFunction)(void *)GetProcAddress(
                               session->shcore, "GetDpiForMonitor")
                         : nullptr;
}

/* Before Windows 10 1607: the monitor's DPI as the process sees it. */
static uint32_t monitorDpi(DisplaySession *session, HMONITOR monitor) {
  DpiForMonitorFunction query = dpiForMonitor(session);
  UINT x = 0, y = 0;
  if (query && SUCCEEDED(query(monitor, EFFECTIVE_DPI, &x, &y)) && y != 0)
    return y;
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? (uint32_t)dpi : 96;
}

/* The window's DPI, that of the monitor it sits on, where Windows tells
 * it (GetDpiForMonitor is not meant for a per-monitor aware thread); 0
 * where it does not. */
static uint32_t windowDpi(DisplaySession *session, HWND window) {
  return session->dpiForWindow ? session->dpiForWindow(window) : 0;
}

/* The foreground window's monitor (else the primary one), its work area
 * and a first DPI, as the display's thread sees them: where the window
 * can tell its DPI, that of the monitor it sat on last, which it will
 * most often sit on again. 0 when there is no monitor. */
static int foregroundMonitor(DisplaySession *session, HWND window,
                             DisplayMonitor *monitor) {
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
    uint32_t dpi = windowDpi(session, window);
    monitor->dpi = dpi != 0 ? dpi : monitorDpi(session, handle);
  }
  return found;
}

/* ---- The window, on its thread ------------------------------------------ */

static DisplaySession *sessionOf(HWND window) {
  return (DisplaySession *)GetWindowLongPtrW(window, GWLP_USERDATA);
}

static void paintFrame(DisplaySession *session, HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  if (!dc)
    return;
  const DisplayFrame &frame = session->shown;
  int width = frame.window.right - frame.window.left;
  int height = frame.window.bottom - frame.window.top;
  /* Drawn aside and copied in one piece: no flicker when it changes. */
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
  if (bitmap) {
    HGDIOBJ before = SelectObject(memory, bitmap);
    drawDisplayFrame(memory, session->font, &frame);
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, before);
    DeleteObject(bitmap);
  } else {
    drawDisplayFrame(dc, session->font, &frame);
  }
  if (memory)
    DeleteDC(memory);
  EndPaint(window, &paint);
}

static void useFontHeight(DisplaySession *session, int32_t height) {
  if (session->font && session->fontHeight == height)
    return;
  if (session->font)
    DeleteObject(session->font);
  session->font = createDisplayFont(height);
  session->fontHeight = height;
}

/* True when the last drawing is too recent: then the frame timer brings
 * the latest view a little later. */
static int waitForTheScreen(DisplaySession *session, HWND window) {
  DWORD since = GetTickCount() - session->drawnAt;
  if (!session->drawnBefore || since >= FRAME_MILLISECONDS)
    return 0;
  SetTimer(window, FRAME_TIMER, FRAME_MILLISECONDS - since, nullptr);
  return 1;
}

/* Lays the latest view out for the foreground window's monitor; 0 when
 * there is no monitor. */
static int layOutLatestView(DisplaySession *session, HWND window,
                            DisplayMonitor *monitor) {
  EnterCriticalSection(&display.lock);
  CopyMemory(session->viewShown, session->view, sizeof session->view);
  session->layoutShown = session->layout;
  session->viewPending = 0;
  LeaveCriticalSection(&display.lock);
  if (!foregroundMonitor(session, window, monitor))
    return 0;
  session->layoutShown(session->viewShown, monitor, &session->shown);
  return 1;
}

/* Puts the window where the frame says, shown, with the frame's font. */
static void placeFrame(DisplaySession *session, HWND window) {
  const DisplayFrame &frame = session->shown;
  useFontHeight(session, frame.fontHeight);
  SetWindowPos(window, HWND_TOPMOST, frame.window.left, frame.window.top,
               frame.window.right - frame.window.left,
               frame.window.bottom - frame.window.top,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

/* Shows the latest view where its frame says, and (re)starts the hide
 * timer. */
static void showLatestView(DisplaySession *session, HWND window) {
  DisplayMonitor monitor;
  if (waitForTheScreen(session, window) ||
      !layOutLatestView(session, window, &monitor))
    return;
  session->drawnBefore = 1;
  session->drawnAt = GetTickCount();
  placeFrame(session, window);
  /* Laid out for the monitor the window sat on before: sitting on its
   * own now, it may find another DPI there. */
  uint32_t dpi = windowDpi(session, window);
  if (dpi != 0 && dpi != monitor.dpi) {
    monitor.dpi = dpi;
    session->layoutShown(session->viewShown, &monitor, &session->shown);
    placeFrame(session, window);
  }
  InvalidateRect(window, nullptr, FALSE);
  UpdateWindow(window);
  SetTimer(window, HIDE_TIMER, session->shown.showMilliseconds, nullptr);
}

/* The window's session comes with its creation and stays with it. */
static LRESULT CALLBACK displayProcedure(HWND window, UINT message,
                                         WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE)
    SetWindowLongPtrW(
        window, GWLP_USERDATA,
        (LONG_PTR)((const CREATESTRUCTW *)lParam)->lpCreateParams);
  DisplaySession *session = sessionOf(window);
  switch (session ? message : WM_NULL) {
  case SHOW_VIEW:
    showLatestView(session, window);
    return 0;
  case WM_TIMER:
    if (wParam != HIDE_TIMER && wParam != FRAME_TIMER)
      break;
    KillTimer(window, wParam);
    if (wParam == FRAME_TIMER)
      showLatestView(session, window);
    else
      ShowWindow(window, SW_HIDE);
    return 0;
  case WM_PAINT:
    paintFrame(session, window);
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

/* One class for every display thread of this copy of the library: a
 * thread left to end by itself still has its window of the class while
 * the next display's thread makes one. The last one out unregisters it. */
static int takeWindowClass(HMODULE module) {
  EnterCriticalSection(&display.lock);
  int usable = display.classUsers > 0;
  if (!usable) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = displayProcedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = CLASS_NAME;
    usable = RegisterClassExW(&windowClass) != 0;
  }
  display.classUsers += usable;
  LeaveCriticalSection(&display.lock);
  return usable;
}

static void releaseWindowClass(HMODULE module) {
  EnterCriticalSection(&display.lock);
  if (--display.classUsers == 0)
    UnregisterClassW(CLASS_NAME, module);
  LeaveCriticalSection(&display.lock);
}

static HWND makeWindow(DisplaySession *session) {
  HWND window = CreateWindowExW(
      WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW |
          WS_EX_NOACTIVATE,
      CLASS_NAME, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
      session->module, session);
  if (window)
    SetLayeredWindowAttributes(window, 0, OPACITY, LWA_ALPHA);
  return window;
}

/* Hands the window to the others, or says it failed; then shows what
 * waits, or ends at once if a close came first. */
static void publishWindow(DisplaySession *session, HWND window) {
  EnterCriticalSection(&display.lock);
  session->window = window;
  session->failed = window == nullptr;
  int ending = session->ending;
  int pending = session->viewPending;
  LeaveCriticalSection(&display.lock);
  if (window && ending)
    DestroyWindow(window);
  else if (window && pending)
    PostMessageW(window, SHOW_VIEW, 0, 0);
}

static void freeSession(DisplaySession *session) {
  display.sessions--;
  HeapFree(GetProcessHeap(), 0, session);
}

/* The thread's last touch of its session: freed here if the close has
 * stopped waiting for it, else by the close. */
static void leaveSession(DisplaySession *session) {
  if (session->font)
    DeleteObject(session->font);
  if (session->shcore)
    FreeLibrary(session->shcore);
  EnterCriticalSection(&display.lock);
  session->done = 1;
  if (session->abandoned)
    freeSession(session);
  LeaveCriticalSection(&display.lock);
}

static DWORD WINAPI displayThread(void *parameter) {
  DisplaySession *session = (DisplaySession *)parameter;
  HMODULE module = session->module;
  /* A new thread starts on the process's first desktop, which need not
   * be the one the host's window is on. */
  SetThreadDesktop(session->desktop);
  enterPerMonitorDpi();
  session->dpiForWindow =
      (DpiForWindowFunction)(void *)userFunction("GetDpiForWindow");
  int hasClass = takeWindowClass(module);
  HWND window = hasClass ? makeWindow(session) : nullptr;
  publishWindow(session, window);
  MSG message;
  while (window && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (hasClass)
    releaseWindowClass(module);
  leaveSession(session);
  FreeLibraryAndExitThread(module, 0);
}

/* ---- The host's side ---------------------------------------------------- */

/* Under the lock: the session views go to, started if there is none. */
static DisplaySession *currentSession(void) {
  if (display.current)
    return display.current;
  DisplaySession *session = (DisplaySession *)HeapAlloc(
      GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(DisplaySession));
  if (!session)
    return nullptr;
  session->desktop = GetThreadDesktop(GetCurrentThreadId());
  session->module = holdThisModule();
  DWORD id;
  if (session->module)
    session->thread =
        CreateThread(nullptr, 0, displayThread, session, 0, &id);
  if (!session->thread) {
    if (session->module)
      FreeLibrary(session->module);
    HeapFree(GetProcessHeap(), 0, session);
    return nullptr;
  }
  display.sessions++;
  display.current = session;
  return session;
}

int platformShowDisplay(const void *view, uint32_t viewSize,
                        DisplayLayout layout) {
  if (viewSize > DISPLAY_VIEW_LIMIT)
    return 0;
  makeLock();
  EnterCriticalSection(&display.lock);
  DisplaySession *session = currentSession();
  int shown = session && !session->failed;
  if (shown) {
    CopyMemory(session->view, view, viewSize);
    session->layout = layout;
    /* One message stands for any number of views: the latest is shown. */
    if (session->window && !session->viewPending)
      shown = PostMessageW(session->window, SHOW_VIEW, 0, 0) != 0;
    session->viewPending = shown;
  }
  LeaveCriticalSection(&display.lock);
  return shown;
}

/* Waits a while for the session's thread to end; one that does not is
 * left to end by itself and free its session. */
static void awaitSessionEnd(DisplaySession *session) {
  WaitForSingleObject(session->thread, CLOSE_WAIT_MILLISECONDS);
  CloseHandle(session->thread);
  EnterCriticalSection(&display.lock);
  session->abandoned = !session->done;
  if (session->done)
    freeSession(session);
  LeaveCriticalSection(&display.lock);
}

void platformCloseDisplay(void) {
  if (display.lockState != LOCK_READY)
    return;
  EnterCriticalSection(&display.lock);
  DisplaySession *session = display.current;
  display.current = nullptr;
  if (session) {
    session->ending = 1;
    if (session->window)
      PostMessageW(session->window, END_DISPLAY, 0, 0);
  }
  LeaveCriticalSection(&display.lock);
  if (session)
    awaitSessionEnd(session);
  /* A thread left to end by itself still takes the lock. */
  EnterCriticalSection(&display.lock);
  int idle = display.sessions == 0;
  LeaveCriticalSection(&display.lock);
  if (idle) {
    DeleteCriticalSection(&display.lock);
    InterlockedExchange(&display.lockState, LOCK_NONE);
  }
}
