/*
 * The one place where the platform's MMRESULT codes become the plug-in's
 * success flag, and what the mixer sources share among themselves.
 */
#ifndef VOLUME_MIXER_INTERNAL_H
#define VOLUME_MIXER_INTERNAL_H

#include "platform/platform.h"

/* A control id of all bits set: the control has not been found yet. */
static const uint32_t NOT_DISCOVERED = 0xFFFFFFFFu;

/* 1 for MMSYSERR_NOERROR, 0 for every error code. */
static inline int mixerSucceeded(MixerResult result) { return result == 0; }

/* Opens the mixer if need be, then finds the first line of a component
 * type and that line's control of a control type. */
/* The handle opened by openMixer, 0 before. Shared by volume and mute. */
MixerHandle mixerHandle(void);

int findLineControl(uint32_t componentType, uint32_t controlType,
                    MixerLine *line, MixerControl *control);

void forgetMixerHandle(void);
void forgetVolumeControl(void);
void forgetMuteControl(void);

#endif
