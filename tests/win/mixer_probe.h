/*
 * The test's own view of mixer device 0, through the host kit's handle,
 * and assertions on what it reads.
 *
 * Under Wine the mixer's volume and mute are those of the calling
 * process's audio session, so a handle opened here sees what the plug-in
 * did with its handle in the same process, and test processes running
 * side by side do not disturb each other.
 */
#ifndef VOLUME_WIN_TESTS_MIXER_PROBE_H
#define VOLUME_WIN_TESTS_MIXER_PROBE_H

#include <cstdint>

#include <gtest/gtest.h>

#include "hostkit/hostkit.h"

/* Component types of the lines the tests look at. */
enum : uint32_t { SPEAKERS_LINE = 0x0004, WAVE_OUT_LINE = 0x1008 };

/* Opens device 0 and finds the line with both its controls. */
::testing::AssertionResult openMixerProbe(MixerLineView *view,
                                          uint32_t componentType);

/* The raw level the plug-in writes for a percent. */
uint32_t levelForPercent(const MixerLineView &view, uint32_t percent);

/* The volume is at the percent's level, give or take one unit: Wine keeps
 * the level as a float, so a written level may read back one lower. */
::testing::AssertionResult volumeIsPercent(const MixerLineView &view,
                                           uint32_t percent);
/* The volume reads exactly this raw level. */
::testing::AssertionResult volumeIsLevel(const MixerLineView &view,
                                         uint32_t level);
::testing::AssertionResult muteIs(const MixerLineView &view, uint32_t value);

#endif
