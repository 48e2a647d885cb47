/*
 * A program the focused application's Wine test starts on its desktop:
 *
 *   focus_helper window   puts up a window and brings it to the foreground
 *   focus_helper quiet    has no window, like a browser's helper process
 *
 * Either way it waits until the test ends it.
 */
#include <windows.h>

#include <cstring>

static const char HELPER_CLASS[] = "VolumeFocusHelper";

static int showWindow(void) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = HELPER_CLASS;
  if (!RegisterClassA(&windowClass))
    return 1;
  HWND window = CreateWindowExA(0, HELPER_CLASS, "focus helper",
                                WS_POPUP | WS_VISIBLE, 0, 0, 100, 30, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!window)
    return 1;
  SetForegroundWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  return 0;
}

int main(int argc, char **argv) {
  if (argc > 1 && strcmp(argv[1], "window") == 0)
    return showWindow();
  Sleep(INFINITE);
  return 0;
}
