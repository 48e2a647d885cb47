/*
 * Which program is in the foreground, and what executable a process runs
 * and when it started.
 */
#ifndef VOLUME_FOCUSED_PROCESS_H
#define VOLUME_FOCUSED_PROCESS_H

#include <cstdint>

/* UTF-16 units of an executable's path, its terminator included. */
enum { IMAGE_PATH_SIZE = 1024 };

/* The process whose window is in the foreground; for a Store app's frame,
 * the app's own process. 0 when there is none. */
uint32_t focusedProcess(void);
/* What lookAtProcess could read. */
enum { LOOKED_IMAGE = 1, LOOKED_START = 2 };
/* Opens a process once and reads through the handle, closed again before
 * returning, the full path of its executable where path is given and its
 * start (platformProcessStarted) where started is: the LOOKED_ bits of
 * what could be read, 0 when it cannot be opened. */
int lookAtProcess(uint32_t processId, uint16_t path[IMAGE_PATH_SIZE],
                  uint64_t *started);
/* Two paths name the same file: equal but for the case of ASCII letters,
 * as Windows' file names are. */
int samePath(const uint16_t *first, const uint16_t *second);
/* The file name of a process's executable without its extension, as a
 * name to show, cut to size units; empty when it cannot be told. */
void processName(uint32_t processId, uint16_t *name, uint32_t size);

#endif
