/*
 * A program the focused application's Wine test starts on its desktop:
 *
 *   focus_helper window   puts up a window and brings it to the foreground
 *   focus_helper quiet    has no window, like a browser's helper process
 *   focus_helper app HWND puts a Store app's window (its class) inside the
 *                         frame window HWND of another process
 *
 * Words after its own start a child of it, on its desktop, with them as
 * its arguments ("window quiet": a program with a quiet helper, whose id
 * is its window's title; "quiet quiet quiet": a child and a grandchild). Either
 * way it waits until the test ends it (and its children, through the test's
 * job).
 */
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

static const char HELPER_CLASS[] = "VolumeFocusHelper";
static const char APP_CLASS[] = "Windows.UI.Core.CoreWindow";

/* The child it started, whose id its window's title tells the test. */
static DWORD childId;

/* A window of a class of its own; inside parent, when there is one. The
 * parent of another process is told nothing, so it need not answer. */
static HWND makeWindow(const char *className, const char *title, HWND parent) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass))
    return nullptr;
  return CreateWindowExA(parent ? WS_EX_NOPARENTNOTIFY : 0, className, title,
                         (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, 0, 0, 100,
                         30, parent, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

static int showWindow(HWND frame) {
  std::string title = childId ? std::to_string(childId) : "focus helper";
  HWND window =
      makeWindow(frame ? APP_CLASS : HELPER_CLASS, title.c_str(), frame);
  if (!window)
    return 1;
  if (!frame)
    SetForegroundWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  return 0;
}

/* This program again, with the words from first on as its arguments. */
static int startChild(int argc, char **argv, int first) {
  char path[MAX_PATH];
  if (first >= argc || !GetModuleFileNameA(nullptr, path, MAX_PATH))
    return first >= argc;
  std::string command = std::string("\"") + path + "\"";
  for (int i = first; i < argc; i++)
    command += std::string(" ") + argv[i];
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &child))
    return 0;
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  childId = child.dwProcessId;
  return 1;
}

int main(int argc, char **argv) {
  int app = argc > 2 && strcmp(argv[1], "app") == 0;
  int window = argc > 1 && strcmp(argv[1], "window") == 0;
  if (!startChild(argc, argv, app ? 3 : 2))
    return 1;
  if (window)
    return showWindow(nullptr);
  if (app)
    return showWindow((HWND)(uintptr_t)strtoull(argv[2], nullptr, 16));
  Sleep(INFINITE);
  return 0;
}
