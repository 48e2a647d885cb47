/*
 * Which program is in the foreground, and what executable a process runs.
 */
#ifndef VOLUME_FOCUSED_PROCESS_H
#define VOLUME_FOCUSED_PROCESS_H

#include <cstdint>

/* UTF-16 units of an executable's path, its terminator included. */
enum { IMAGE_PATH_SIZE = 1024 };

/* The process whose window is in the foreground; for a Store app's frame,
 * the app's own process. 0 when there is none. */
uint32_t focusedProcess(void);
/* The full path of a process's executable, through a handle closed again
 * before returning; 0 when it cannot be had. */
int processImage(uint32_t processId, uint16_t path[IMAGE_PATH_SIZE]);
/* Two paths name the same file: equal but for the case of ASCII letters,
 * as Windows' file names are. */
int samePath(const uint16_t *first, const uint16_t *second);
/* The file name of a process's executable without its extension, as a
 * name to show, cut to size units; empty when it cannot be told. */
void processName(uint32_t processId, uint16_t *name, uint32_t size);

#endif
