/*
 * Running a command by its identifier.
 */
#ifndef VOLUME_DISPATCH_H
#define VOLUME_DISPATCH_H

#include <cstdint>

/* Runs one command; 1 on success (and the taskbar clock is told, and the
 * display shows the outcome where the settings ask for it), else 0.
 * An identifier in no row of plugin/command_ids.h touches nothing. */
int dispatchCommand(int32_t commandId);

#endif
