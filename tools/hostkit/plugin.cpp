/*
 * Loading a plug-in and finding its exports, as the host does.
 */
#include <cstdio>
#include <cstring>

#include "hostkit.h"

void kitDescribeLastError(const char *what, char *reason, size_t reasonSize) {
  DWORD error = GetLastError();
  char message[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, error, 0, message, sizeof message, nullptr);
  /* System messages end in a line break. */
  for (size_t end = strlen(message);
       end > 0 && (message[end - 1] == '\n' || message[end - 1] == '\r');)
    message[--end] = '\0';
  snprintf(reason, reasonSize, "%s failed with error %lu: %s", what,
           (unsigned long)error, message);
}

HMODULE kitLoadLibrary(const char *path, char *reason, size_t reasonSize) {
  HMODULE library = LoadLibraryA(path);
  if (!library)
    kitDescribeLastError("LoadLibraryA", reason, reasonSize);
  return library;
}

template <typename Function>
static int findExport(HMODULE module, const char *name, Function *function) {
  *function = reinterpret_cast<Function>(
      reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
  return *function != nullptr;
}

int kitFindExports(HMODULE module, PluginExports *exports) {
  int found = findExport(module, "KSTEvent_Execute", &exports->execute);
  found &=
      findExport(module, "KSTEvent_FreePluginInfo", &exports->freePluginInfo);
  found &= findExport(module, "KSTEvent_Init", &exports->init);
  found &=
      findExport(module, "KSTEvent_InitPluginInfo", &exports->initPluginInfo);
  found &= findExport(module, "KSTEvent_Unload", &exports->unload);
  found &= findExport(module, "KSTEvent_WindowsHook", &exports->windowsHook);
  return found;
}
