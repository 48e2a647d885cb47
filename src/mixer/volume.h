/*
 * Volume of the mixer line chosen by VolComponentType, as a percent.
 */
#ifndef VOLUME_MIXER_VOLUME_H
#define VOLUME_MIXER_VOLUME_H

#include <cstdint>

/* The volume of the chosen line as a whole percent, rounded. */
int readVolumePercent(int32_t componentTypeSetting, uint32_t *percent);
/* Sets the volume to a percent, keeping the balance between channels. */
int writeVolumePercent(int32_t componentTypeSetting, uint32_t percent);

#endif
