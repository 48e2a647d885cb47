/*
 * A program the focused application's Wine test starts on its desktop:
 *
 *   focus_helper window   puts up a window and brings it to the foreground
 *   focus_helper quiet    has no window, like a browser's helper process
 *   focus_helper app HWND puts a Store app's window (its class) inside the
 *                         frame window HWND of another process
 *
 * Either way it waits until the test ends it.
 */
#include <windows.h>

#include <cstdlib>
#include <cstring>

static const char HELPER_CLASS[] = "VolumeFocusHelper";
static const char APP_CLASS[] = "Windows.UI.Core.CoreWindow";

/* A window of a class of its own; inside parent, when there is one. The
 * parent of another process is told nothing, so it need not answer. */
static HWND makeWindow(const char *className, HWND parent) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass))
    return nullptr;
  return CreateWindowExA(parent ? WS_EX_NOPARENTNOTIFY : 0, className,
                         "focus helper",
                         (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 0, 0,
                         100, 30, parent, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

static int showWindow(HWND frame) {
  HWND window = makeWindow(frame ? APP_CLASS : HELPER_CLASS, frame);
  if (!window)
    return 1;
  if (!frame)
    SetForegroundWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  return 0;
}

int main(int argc, char **argv) {
  if (argc > 1 && strcmp(argv[1], "window") == 0)
    return showWindow(nullptr);
  if (argc > 2 && strcmp(argv[1], "app") == 0)
    return showWindow((HWND)(uintptr_t)strtoull(argv[2], nullptr, 16));
  Sleep(INFINITE);
  return 0;
}
