/*
 * Reading a mixer control's values, with the channels a driver leaves
 * unreported filled in.
 */
#ifndef VOLUME_UNREPORTED_VALUES_H
#define VOLUME_UNREPORTED_VALUES_H

#include "platform/platform.h"

/* Reads one 32-bit value per channel of a control of the open mixer (1:
 * the control as one uniform value). Every value is filled in: a channel
 * the driver left unreported takes the first channel's value, and a read
 * that reported nothing fails. */
int readMixerValues(const MixerControl *control, uint32_t channels,
                    uint32_t *values);

#endif
