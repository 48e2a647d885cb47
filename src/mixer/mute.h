/*
 * Mute switch of the speakers line.
 */
#ifndef VOLUME_MIXER_MUTE_H
#define VOLUME_MIXER_MUTE_H

#include <cstdint>

/* Mute of the speakers line, whatever line the volume commands use. */
int readMixerMute(uint32_t *value);
int writeMixerMute(uint32_t value);

#endif
