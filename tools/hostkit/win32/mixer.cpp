/*
 * Mixer device 0 seen through the kit's own handle, with winmm's calls
 * written out here rather than borrowed from the plug-in: what is under
 * test is never its own witness.
 */
#include "hostkit/hostkit.h"

/* A value no driver reports by chance for these controls. */
static const uint32_t POISON = 0xCCCCCCCCu;

MMRESULT kitFindControl(HMIXER mixer, uint32_t lineId, uint32_t controlType,
                        MIXERCONTROLA *control) {
  *control = MIXERCONTROLA();
  control->cbStruct = sizeof *control;
  MIXERLINECONTROLSA query = {};
  query.cbStruct = sizeof query;
  query.dwLineID = lineId;
  query.dwControlType = controlType;
  query.cControls = 1;
  query.cbmxctrl = sizeof *control;
  query.pamxctrl = control;
  return mixerGetLineControlsA((HMIXEROBJ)mixer, &query,
                               MIXER_OBJECTF_HMIXER |
                                   MIXER_GETLINECONTROLSF_ONEBYTYPE);
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

MMRESULT kitReadUniform(HMIXER mixer, uint32_t control, uint32_t *value,
                        int *reported) {
  *value = POISON;
  MIXERCONTROLDETAILS details = uniformValue(control, value);
  MMRESULT result = mixerGetControlDetailsA((HMIXEROBJ)mixer, &details,
                                            MIXER_OBJECTF_HMIXER |
                                                MIXER_GETCONTROLDETAILSF_VALUE);
  *reported = *value != POISON;
  return result;
}

static int findControl(const MixerLineView *view, uint32_t lineId,
                       uint32_t controlType, MIXERCONTROLA *control) {
  return kitFindControl(view->mixer, lineId, controlType, control) ==
         MMSYSERR_NOERROR;
}

MMRESULT kitOpenMixerLine(uint32_t componentType, MixerLineView *view) {
  *view = MixerLineView();
  MMRESULT result = mixerOpen(&view->mixer, 0, 0, 0, 0);
  if (result != MMSYSERR_NOERROR) {
    view->mixer = nullptr;
    return result;
  }
  MIXERLINEA line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = componentType;
  result = mixerGetLineInfoA((HMIXEROBJ)view->mixer, &line,
                             MIXER_OBJECTF_HMIXER |
                                 MIXER_GETLINEINFOF_COMPONENTTYPE);
  if (result != MMSYSERR_NOERROR)
    return result;
  MIXERCONTROLA control;
  view->hasVolume = findControl(view, line.dwLineID,
                                MIXERCONTROL_CONTROLTYPE_VOLUME, &control);
  view->volumeControl = control.dwControlID;
  view->minimum = control.Bounds.dwMinimum;
  view->maximum = control.Bounds.dwMaximum;
  view->hasMute =
      findControl(view, line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, &control);
  view->muteControl = control.dwControlID;
  return MMSYSERR_NOERROR;
}

void kitCloseMixerLine(MixerLineView *view) {
  if (view->mixer)
    mixerClose(view->mixer);
  *view = MixerLineView();
}

int kitReadControl(const MixerLineView *view, uint32_t control,
                   uint32_t *value) {
  int reported = 0;
  return view->mixer &&
         kitReadUniform(view->mixer, control, value, &reported) ==
             MMSYSERR_NOERROR &&
         reported;
}

int kitWriteControl(const MixerLineView *view, uint32_t control,
                    uint32_t value) {
  if (!view->mixer)
    return 0;
  MIXERCONTROLDETAILS details = uniformValue(control, &value);
  return mixerSetControlDetails((HMIXEROBJ)view->mixer, &details,
                                MIXER_OBJECTF_HMIXER |
                                    MIXER_SETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}
