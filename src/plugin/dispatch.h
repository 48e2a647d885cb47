/*
 * Running a command by its identifier.
 */
#ifndef VOLUME_DISPATCH_H
#define VOLUME_DISPATCH_H

#include <cstdint>

#include "command/command_settings.h"

/* Runs one command with the settings KSTEvent_Init read; 1 on success
 * (and the taskbar clock is told, and the display shows the outcome where
 * the settings ask for it), else 0. An identifier in no row of
 * command/command_families.h touches nothing. */
int dispatchCommand(int32_t commandId, const Settings &settings);

#endif
