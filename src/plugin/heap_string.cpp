/*
 * A string handed to the host, copied into a heap block of its own.
 */
#include "plugin/heap_string.h"

#include <cstring>

#include "platform/platform.h"

char *copyString(const char *text) {
  size_t size = strlen(text) + 1;
  char *copy = (char *)platformAlloc(size);
  if (copy)
    memcpy(copy, text, size);
  return copy;
}
