/*
 * The test's own view of mixer device 0, through a handle of its own.
 *
 * Under Wine the mixer's volume and mute are those of the calling
 * process's audio session, so a handle opened here sees what the plug-in
 * did with its handle in the same process, and test processes running
 * side by side do not disturb each other.
 */
#ifndef VOLUME_WIN_TESTS_MIXER_PROBE_H
#define VOLUME_WIN_TESTS_MIXER_PROBE_H

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>

#include <gtest/gtest.h>

/* Component types of the lines the tests look at. */
enum : uint32_t { SPEAKERS_LINE = 0x0004, WAVE_OUT_LINE = 0x1008 };

/* A line's volume and mute controls, with the volume's bounds. */
struct MixerProbe {
  HMIXER mixer;
  uint32_t volumeControl;
  uint32_t muteControl;
  uint32_t minimum;
  uint32_t maximum;
};

/* Opens device 0 and finds the line's controls. */
::testing::AssertionResult openMixerProbe(MixerProbe *probe,
                                          uint32_t componentType);
void closeMixerProbe(MixerProbe *probe);

/* One uniform value of a control. A read returns false when the driver
 * reports success but leaves the value untouched, as Wine does for every
 * line but the speakers. */
bool readControl(const MixerProbe &probe, uint32_t control, uint32_t *value);
bool writeControl(const MixerProbe &probe, uint32_t control, uint32_t value);

/* The raw level the plug-in writes for a percent. */
uint32_t levelForPercent(const MixerProbe &probe, uint32_t percent);

/* The volume is at the percent's level, give or take one unit: Wine keeps
 * the level as a float, so a written level may read back one lower. */
::testing::AssertionResult volumeIsPercent(const MixerProbe &probe,
                                           uint32_t percent);
/* The volume reads exactly this raw level. */
::testing::AssertionResult volumeIsLevel(const MixerProbe &probe,
                                         uint32_t level);
::testing::AssertionResult muteIs(const MixerProbe &probe, uint32_t value);

#endif
