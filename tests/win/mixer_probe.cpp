#include "mixer_probe.h"

/* A value no driver reports by chance for these controls. */
static const uint32_t POISON = 0xCCCCCCCCu;

static HMIXEROBJ mixerObject(const MixerProbe &probe) {
  return (HMIXEROBJ)probe.mixer;
}

static bool findControl(const MixerProbe &probe, uint32_t lineId,
                        uint32_t controlType, MIXERCONTROLA *control) {
  *control = MIXERCONTROLA();
  control->cbStruct = sizeof *control;
  MIXERLINECONTROLSA query = {};
  query.cbStruct = sizeof query;
  query.dwLineID = lineId;
  query.dwControlType = controlType;
  query.cControls = 1;
  query.cbmxctrl = sizeof *control;
  query.pamxctrl = control;
  return mixerGetLineControlsA(mixerObject(probe), &query,
                               MIXER_OBJECTF_HMIXER |
                                   MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
         MMSYSERR_NOERROR;
}

::testing::AssertionResult openMixerProbe(MixerProbe *probe,
                                          uint32_t componentType) {
  *probe = MixerProbe();
  MMRESULT opened = mixerOpen(&probe->mixer, 0, 0, 0, 0);
  if (opened != MMSYSERR_NOERROR)
    return ::testing::AssertionFailure() << "mixerOpen: " << opened;
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  if (mixerGetLineInfoA(mixerObject(*probe), &line,
                        MIXER_OBJECTF_HMIXER |
                            MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR)
    return ::testing::AssertionFailure()
           << "no line of component type " << componentType;
  MIXERCONTROLA volume, mute;
  if (!findControl(*probe, line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME,
                   &volume) ||
      !findControl(*probe, line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, &mute))
    return ::testing::AssertionFailure() << "line without volume and mute";
  probe->volumeControl = volume.dwControlID;
  probe->muteControl = mute.dwControlID;
  probe->minimum = volume.Bounds.dwMinimum;
  probe->maximum = volume.Bounds.dwMaximum;
  return ::testing::AssertionSuccess();
}

void closeMixerProbe(MixerProbe *probe) {
  if (probe->mixer)
    mixerClose(probe->mixer);
  *probe = MixerProbe();
}

static MIXERCONTROLDETAILS uniformValue(uint32_t control, uint32_t *value) {
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control;
  details.cChannels = 1;
  details.cbDetails = sizeof *value;
  details.paDetails = value;
  return details;
}

bool readControl(const MixerProbe &probe, uint32_t control, uint32_t *value) {
  *value = POISON;
  MIXERCONTROLDETAILS details = uniformValue(control, value);
  return mixerGetControlDetailsA(mixerObject(probe), &details,
                                 MIXER_OBJECTF_HMIXER |
                                     MIXER_GETCONTROLDETAILSF_VALUE) ==
             MMSYSERR_NOERROR &&
         *value != POISON;
}

bool writeControl(const MixerProbe &probe, uint32_t control, uint32_t value) {
  MIXERCONTROLDETAILS details = uniformValue(control, &value);
  return mixerSetControlDetails(mixerObject(probe), &details,
                                MIXER_OBJECTF_HMIXER |
                                    MIXER_SETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

uint32_t levelForPercent(const MixerProbe &probe, uint32_t percent) {
  uint64_t range = probe.maximum - probe.minimum;
  return probe.minimum + (uint32_t)(range * percent / 100);
}

::testing::AssertionResult volumeIsPercent(const MixerProbe &probe,
                                           uint32_t percent) {
  uint32_t level = 0;
  if (!readControl(probe, probe.volumeControl, &level))
    return ::testing::AssertionFailure() << "the volume cannot be read";
  uint32_t expected = levelForPercent(probe, percent);
  if (level + 1 >= expected && level <= expected + 1)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "volume level " << level << ", expected " << expected << " ("
         << percent << "%)";
}

::testing::AssertionResult volumeIsLevel(const MixerProbe &probe,
                                         uint32_t expected) {
  uint32_t level = 0;
  if (!readControl(probe, probe.volumeControl, &level))
    return ::testing::AssertionFailure() << "the volume cannot be read";
  if (level == expected)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "volume level " << level << ", expected " << expected;
}

::testing::AssertionResult muteIs(const MixerProbe &probe, uint32_t expected) {
  uint32_t value = 0;
  if (!readControl(probe, probe.muteControl, &value))
    return ::testing::AssertionFailure() << "the mute cannot be read";
  if (value == expected)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "mute " << value << ", expected " << expected;
}
