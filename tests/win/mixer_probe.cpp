#include "mixer_probe.h"

::testing::AssertionResult openMixerProbe(MixerLineView *view,
                                          uint32_t componentType) {
  MMRESULT result = kitOpenMixerLine(componentType, view);
  if (result != MMSYSERR_NOERROR)
    return ::testing::AssertionFailure()
           << "no line of component type " << componentType << " (" << result
           << ")";
  if (!view->hasVolume || !view->hasMute)
    return ::testing::AssertionFailure() << "line without volume and mute";
  return ::testing::AssertionSuccess();
}

uint32_t levelForPercent(const MixerLineView &view, uint32_t percent) {
  uint64_t range = view.maximum - view.minimum;
  return view.minimum + (uint32_t)(range * percent / 100);
}

::testing::AssertionResult volumeIsPercent(const MixerLineView &view,
                                           uint32_t percent) {
  uint32_t level = 0;
  if (!kitReadControl(&view, view.volumeControl, &level))
    return ::testing::AssertionFailure() << "the volume cannot be read";
  uint32_t expected = levelForPercent(view, percent);
  if (level + 1 >= expected && level <= expected + 1)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "volume level " << level << ", expected " << expected << " ("
         << percent << "%)";
}

::testing::AssertionResult volumeIsLevel(const MixerLineView &view,
                                         uint32_t expected) {
  uint32_t level = 0;
  if (!kitReadControl(&view, view.volumeControl, &level))
    return ::testing::AssertionFailure() << "the volume cannot be read";
  if (level == expected)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "volume level " << level << ", expected " << expected;
}

::testing::AssertionResult muteIs(const MixerLineView &view,
                                  uint32_t expected) {
  uint32_t value = 0;
  if (!kitReadControl(&view, view.muteControl, &value))
    return ::testing::AssertionFailure() << "the mute cannot be read";
  if (value == expected)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "mute " << value << ", expected " << expected;
}
