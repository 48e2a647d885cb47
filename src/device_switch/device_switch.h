/*
 * Switching the default sound device (Windows Vista and later, through
 * Core Audio and the policy-config class that the Sound control panel
 * itself uses): the next active device of a direction, or the first whose
 * name holds a text of the settings file, for playback, recording or
 * both (a headset, or a pair of two devices: "<playback>|<recording>").
 *
 * The console and multimedia defaults move to the chosen device, as the
 * control panel's "Set as Default Device" does; the communications
 * default moves too where it was the console default's device before the
 * switch, or always with SwitchCommunications=1. Nothing is kept between
 * commands.
 */
#ifndef VOLUME_DEVICE_SWITCH_H
#define VOLUME_DEVICE_SWITCH_H

#include "command/command.h"

/* What a row of the command table asks; the argument says of which. */
enum DeviceSwitchAction {
  DEVICE_NEXT,           /* argument: the AudioFlow */
  DEVICE_OUTPUT_BY_NAME, /* slot: which of its Output texts */
  DEVICE_INPUT_BY_NAME,  /* slot: which of its Input texts */
  DEVICE_HEADSET_BY_NAME /* slot: which of its Device texts */
};

/* Runs one switch. 1 only when every write took and the console default,
 * looked at afterwards (again and again for about half a second, as a
 * new default may show late), is the chosen device; a device that is
 * already the default for every role that would be written gives 1 with
 * nothing written. No device to choose, no Core Audio (Windows XP), no
 * policy-config class: 0, nothing changed. The outcome names the device
 * (a headset's playback device). */
int runDeviceSwitch(const CommandRequest *request, CommandOutcome *outcome);

#endif
