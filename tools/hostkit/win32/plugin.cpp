/*
 * Loading a plug-in, finding its exports and its settings file, as the
 * host and the plug-in do.
 */
#include <cstdio>
#include <cstring>

#include "hostkit/hostkit.h"
#include "plugin/settings_path.h"

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

ExportAddress kitFindExport(void *library, const char *name) {
  return reinterpret_cast<ExportAddress>(
      GetProcAddress((HMODULE)library, name));
}

int kitSettingsPath(HMODULE plugin, char *path, size_t pathSize) {
  DWORD length = GetModuleFileNameA(plugin, path, (DWORD)pathSize);
  return settingsPathFromModuleName(path, length, (uint32_t)pathSize);
}
